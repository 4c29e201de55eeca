// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace krambol;
using platform::MessageButtons;
using platform::MessageIcon;

class EntryAcceptanceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.make(); }
    void cleanup() { f.reset(); }

    void workedExampleBuildsTheRegister();
    void buttonClickAccepts();
    void emptyFieldsShowTheirMessagesInOrder_data();
    void emptyFieldsShowTheirMessagesInOrder();
    void firstAcceptReplacesWhatTheRegisterHolds();
    void laterAcceptDropsCharacterFormattingButKeepsTheRegisterFont();
    void acceptWorksWhileLocked();
    void fieldsKeepTheirTexts();

private:
    void type(const QString& name, const QString& disc)
    {
        f.ui().Text1->setText(name);
        f.ui().Text2->setText(disc);
    }

    testing::Form1Fixture f;
};

void EntryAcceptanceTest::workedExampleBuildsTheRegister()
{
    type(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->Command1_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    QCOMPARE(f.ui().Text5->text(), QStringLiteral("2"));

    f.ui().Check2->setChecked(true);  // today's date, fixed by the scripted clock: 17.04.2005
    type(QStringLiteral("Пётр"), QStringLiteral("Диск"));
    f.form->Command1_Click();
    const QString date = f.ui().Text7->text();
    QCOMPARE(date, QStringLiteral("17.04.2005"));  // the tests run with Russian regional settings
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра | Пётр-") + date + QStringLiteral("-Диск |"));

    type(QStringLiteral("Анна"), QStringLiteral("Кино"));
    f.form->AcceptEntryFromToolbar();
    QCOMPARE(f.ui().Box->text(),
             QStringLiteral("Иван------------Игра | Пётр-") + date + QStringLiteral("-Диск | Анна-Кино"));
    QVERIFY(f.seams->messages.calls.isEmpty());
}

void EntryAcceptanceTest::buttonClickAccepts()
{
    type(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->show();
    QTest::mouseClick(f.ui().Command1, Qt::LeftButton);
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
}

void EntryAcceptanceTest::emptyFieldsShowTheirMessagesInOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("disc");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("toolbar");
    const QString noName = QStringLiteral("Введите имя");
    const QString noDisc = QStringLiteral("Введите название диска");
    QTest::newRow("both empty") << "" << "" << QStringList{noName, noDisc} << false;
    QTest::newRow("disc empty") << "Иван" << "" << QStringList{noDisc} << false;
    QTest::newRow("name empty") << "" << "Игра" << QStringList{noName} << false;
    QTest::newRow("both empty, toolbar") << "" << "" << QStringList{noName, noDisc} << true;
}

void EntryAcceptanceTest::emptyFieldsShowTheirMessagesInOrder()
{
    QFETCH(QString, name);
    QFETCH(QString, disc);
    QFETCH(QStringList, messages);
    QFETCH(bool, toolbar);
    f.ui().Box->setText(QStringLiteral("прежнее"));
    type(name, disc);
    toolbar ? f.form->AcceptEntryFromToolbar() : f.form->Command1_Click();

    QCOMPARE(f.seams->messages.calls.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i) {
        const testing::MessageCall& call = f.seams->messages.calls[i];
        QCOMPARE(call.text, messages[i]);
        QCOMPARE(call.title, QStringLiteral("Крамбол"));
        QCOMPARE(call.icon, MessageIcon::Critical);
        QCOMPARE(call.buttons, MessageButtons::Ok);
    }
    QCOMPARE(f.ui().Box->text(), QStringLiteral("прежнее"));
    QCOMPARE(f.ui().Text5->text(), QStringLiteral("Text5"));
}

void EntryAcceptanceTest::firstAcceptReplacesWhatTheRegisterHolds()
{
    // Whatever the register holds before the first accept of a run (an opened file, text typed in edit
    // mode) is replaced; later accepts append.
    f.ui().Box->setText(QStringLiteral("открытый список"));
    type(QStringLiteral("Анна"), QStringLiteral("Кино"));
    f.form->AcceptEntryFromToolbar();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Анна------Кино"));
    f.form->AcceptEntryFromToolbar();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Анна------Кино Анна------Кино"));
}

void EntryAcceptanceTest::laterAcceptDropsCharacterFormattingButKeepsTheRegisterFont()
{
    type(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->Command1_Click();
    QTextCursor cursor(f.ui().Box->document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);

    f.form->Command1_Click();
    QTextCursor end(f.ui().Box->document());
    end.movePosition(QTextCursor::End);
    QCOMPARE(end.charFormat().fontWeight(), int(QFont::Normal));
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    QCOMPARE(f.ui().Box->document()->defaultFont().pointSize(), 24);
}

void EntryAcceptanceTest::acceptWorksWhileLocked()
{
    QVERIFY(f.ui().Box->isLocked());
    type(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.form->Command1_Click();
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------------Игра |"));
    QVERIFY(f.ui().Box->isLocked());
}

void EntryAcceptanceTest::fieldsKeepTheirTexts()
{
    type(QStringLiteral("Иван"), QStringLiteral("Игра"));
    f.ui().Text7->setText(QStringLiteral("вчера"));
    f.form->Command1_Click();
    QCOMPARE(f.ui().Text1->text(), QStringLiteral("Иван"));
    QCOMPARE(f.ui().Text2->text(), QStringLiteral("Игра"));
    QCOMPARE(f.ui().Text7->text(), QStringLiteral("вчера"));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("Иван------вчера------Игра |"));
}

QTEST_MAIN(EntryAcceptanceTest)
#include "tst_entryacceptance.moc"
