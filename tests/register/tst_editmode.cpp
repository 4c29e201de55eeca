// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAction>
#include <QLabel>

using namespace krambol;

// Edit mode: whichever control switches it, the lock of the register, Check1 (ticked state and
// caption) and isp (ticked state and picture) agree.
class EditModeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.make(); }
    void cleanup() { f.reset(); }

    void startsLockedWithTheStartCaption();
    void everySwitchBringsAllThreeIntoStep_data();
    void everySwitchBringsAllThreeIntoStep();
    void menuNoAtStartOnlyChangesTheCaption();
    void lockBindsOnlyTheUser();

private:
    void expectState(bool editing, const QString& caption)
    {
        QCOMPARE(f.ui().Box->isLocked(), !editing);
        QCOMPARE(f.ui().Box->isReadOnly(), !editing);
        QCOMPARE(f.ui().Check1->isChecked(), editing);
        QCOMPARE(f.ui().Check1->text(), caption);
        QCOMPARE(f.ui().isp->isChecked(), editing);
        const QLabel* holder = editing ? f.ui().Picture2 : f.ui().Picture1;
        QCOMPARE(f.ui().isp->facePicture().toImage(), holder->pixmap().toImage());
    }

    testing::Form1Fixture f;
};

void EditModeTest::startsLockedWithTheStartCaption()
{
    QVERIFY(f.ui().Box->isLocked());
    QVERIFY(!f.ui().Check1->isChecked());
    QVERIFY(!f.ui().isp->isChecked());
    QCOMPARE(f.ui().Check1->text(), QStringLiteral("Исправить"));
}

void EditModeTest::everySwitchBringsAllThreeIntoStep_data()
{
    // Each row is a sequence of switches: c = click Check1, i = click isp, y = menu "Да", n = menu "Нет".
    QTest::addColumn<QString>("switches");
    QTest::addColumn<bool>("editing");
    QTest::newRow("Check1 on") << "c" << true;
    QTest::newRow("Check1 on, off") << "cc" << false;
    QTest::newRow("isp on") << "i" << true;
    QTest::newRow("isp on, off") << "ii" << false;
    QTest::newRow("Check1 on, isp off") << "ci" << false;
    QTest::newRow("isp on, Check1 off") << "ic" << false;
    QTest::newRow("menu yes") << "y" << true;
    QTest::newRow("menu yes twice") << "yy" << true;
    QTest::newRow("menu yes, no") << "yn" << false;
    QTest::newRow("menu yes, Check1 off") << "yc" << false;
    QTest::newRow("isp on, menu no") << "in" << false;
}

void EditModeTest::everySwitchBringsAllThreeIntoStep()
{
    QFETCH(QString, switches);
    QFETCH(bool, editing);
    f.form->show();
    for (QChar s : switches) {
        if (s == u'c')
            QTest::mouseClick(f.ui().Check1, Qt::LeftButton);
        else if (s == u'i')
            QTest::mouseClick(f.ui().isp, Qt::LeftButton);
        else
            f.child<QAction>(s == u'y' ? QStringLiteral("ыв") : QStringLiteral("аа"))->trigger();
    }
    expectState(editing, editing ? QStringLiteral("Не исправлять") : QStringLiteral("Исправлять"));
}

void EditModeTest::menuNoAtStartOnlyChangesTheCaption()
{
    f.form->аа_Click();
    expectState(false, QStringLiteral("Исправлять"));
}

void EditModeTest::lockBindsOnlyTheUser()
{
    f.form->show();
    f.ui().Box->setFocus();
    QTest::keyClicks(f.ui().Box, QStringLiteral("abc"));
    QCOMPARE(f.ui().Box->text(), QString());

    f.ui().Check1->setChecked(true);
    QTest::keyClicks(f.ui().Box, QStringLiteral("abc"));
    QCOMPARE(f.ui().Box->text(), QStringLiteral("abc"));
    QCOMPARE(f.ui().isp->facePicture().toImage(), f.ui().Picture2->pixmap().toImage());
}

QTEST_MAIN(EditModeTest)
#include "tst_editmode.moc"
