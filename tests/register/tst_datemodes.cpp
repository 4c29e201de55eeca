// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace krambol;

// The date modes as a state table: each row starts from a state, takes one user action and checks the
// date field, its lock and the separator.
class DateModesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.make(); }
    void cleanup() { f.reset(); }

    void userActionsMoveBetweenStates_data();
    void userActionsMoveBetweenStates();
    void toolbarAcceptUsesTheSeparatorButNotTheDate_data();
    void toolbarAcceptUsesTheSeparatorButNotTheDate();
    void settingTheSameStateRunsNothing();

private:
    enum Mode { NoMode, Today, Typed };
    void enter(Mode mode)
    {
        if (mode == Today)
            f.ui().Check2->setChecked(true);
        if (mode == Typed)
            f.ui().Check4->setChecked(true);
    }

    testing::Form1Fixture f;
};

void DateModesTest::userActionsMoveBetweenStates_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("typedBefore");
    QTest::addColumn<QString>("box");  // the box the user clicks
    QTest::addColumn<bool>("today");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("separator");

    const QString todayText = QStringLiteral("17.04.2005");
    QTest::newRow("no mode, tick today") << int(NoMode) << "" << "Check2" << true << false << todayText << true << "-";
    QTest::newRow("no mode, tick typed keeps a typed date")
        << int(NoMode) << "1 мая" << "Check4" << false << true << "1 мая" << false << "-";
    QTest::newRow("today, untick") << int(Today) << "" << "Check2" << false << false << "" << false << "------";
    QTest::newRow("today, tick typed") << int(Today) << "" << "Check4" << false << true << "" << false << "-";
    QTest::newRow("typed, untick throws the date away")
        << int(Typed) << "1 мая" << "Check4" << false << false << "" << false << "------";
    QTest::newRow("typed, tick today") << int(Typed) << "1 мая" << "Check2" << true << false << todayText << true << "-";
}

void DateModesTest::userActionsMoveBetweenStates()
{
    QFETCH(int, from);
    QFETCH(QString, typedBefore);
    QFETCH(QString, box);
    QFETCH(bool, today);
    QFETCH(bool, typed);
    QFETCH(QString, date);
    QFETCH(bool, locked);
    QFETCH(QString, separator);

    enter(Mode(from));
    if (!typedBefore.isEmpty())
        f.ui().Text7->setText(typedBefore);
    f.form->show();
    QTest::mouseClick(f.child<QCheckBox>(box), Qt::LeftButton, {}, QPoint(5, 8));

    QCOMPARE(f.ui().Check2->isChecked(), today);
    QCOMPARE(f.ui().Check4->isChecked(), typed);
    QCOMPARE(f.ui().Text7->text(), date);
    QCOMPARE(f.ui().Text7->isReadOnly(), locked);
    QCOMPARE(f.ui().Text3->text(), separator);
}

void DateModesTest::toolbarAcceptUsesTheSeparatorButNotTheDate_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("today") << int(Today);
    QTest::newRow("typed") << int(Typed);
}

void DateModesTest::toolbarAcceptUsesTheSeparatorButNotTheDate()
{
    QFETCH(int, mode);
    enter(Mode(mode));
    f.ui().Text7->setText(QStringLiteral("17.04.2005"));
    f.ui().Text1->setText(QStringLiteral("Анна"));
    f.ui().Text2->setText(QStringLiteral("Кино"));
    f.form->AcceptEntryFromToolbar();
    QCOMPARE(f.ui().Box->toPlainText(), QStringLiteral("Анна-Кино"));
}

void DateModesTest::settingTheSameStateRunsNothing()
{
    // Unticking a box that is not ticked runs no reaction: a typed date stays.
    f.ui().Text7->setText(QStringLiteral("1 мая"));
    f.ui().Check2->setChecked(false);
    f.ui().Check4->setChecked(false);
    QCOMPARE(f.ui().Text7->text(), QStringLiteral("1 мая"));
    QCOMPARE(f.ui().Text3->text(), QStringLiteral("------"));
}

QTEST_MAIN(DateModesTest)
#include "tst_datemodes.moc"
