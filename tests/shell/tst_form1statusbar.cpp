// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CapsLock.h"
#include "design/Twips.h"
#include "support/Form1Fixture.h"
#include "WindowMouse.h"

#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>

using namespace krambol;

class Form1StatusBarTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.makeShown(); }
    void cleanup() { f.reset(); }

    void fourInsetPanelsWithTheirWidths();
    void timeDateAndCapsShowBeforeAnyHint();
    void clockAndCapsLockAreKeptCurrent();
    void hidingAndShowingKeepsTheHintAndRefreshesTheClock();
    void everyHintShowsWholeAtTheStartWidth();
    void barFollowsTheWindowWidth();
    void clickingAPanelChangesNothing_data();
    void clickingAPanelChangesNothing();
    void systemCapsLockReadsOffWithoutAnXServer();

private:
    QLabel* panel(int number) const { return f.child<QLabel>(QString("Panel%1").arg(number)); }

    testing::Form1Fixture f;
};

void Form1StatusBarTest::fourInsetPanelsWithTheirWidths()
{
    QStatusBar* bar = f.ui().StatusBar1;
    QCOMPARE(bar->geometry(), QRect(0, 364, 517, 25));
    int left = -1;
    for (int number = 1; number <= 4; ++number) {
        QLabel* label = panel(number);
        QVERIFY(bar->isAncestorOf(label));
        QVERIFY(label->isVisible());
        QCOMPARE(label->frameShape(), QFrame::Panel);
        QCOMPARE(label->frameShadow(), QFrame::Sunken);
        QVERIFY(label->pixmap().isNull());
        QVERIFY(label->toolTip().isEmpty());
        // Left to right in their numbers.
        QVERIFY(label->x() > left);
        left = label->x();
    }
    for (int number = 1; number <= 3; ++number)
        QCOMPARE(panel(number)->width(), 1440 / 15);
    // The panels stand side by side and the hint panel fills the rest of the starting bar: at least the
    // design's width.
    for (int number = 2; number <= 4; ++number)
        QCOMPARE(panel(number)->x(), panel(number - 1)->geometry().right() + 1);
    QVERIFY2(panel(4)->width() >= 3360 / 15, qPrintable(QString::number(panel(4)->width())));
    QVERIFY(panel(4)->mapTo(bar, QPoint(panel(4)->width(), 0)).x() >= bar->width() - 3);
}

void Form1StatusBarTest::everyHintShowsWholeAtTheStartWidth()
{
    using Reaction = void (shell::Form1::*)(Qt::MouseButtons, Qt::KeyboardModifiers, int, int);
    const Reaction hovers[] = {
        &shell::Form1::Command1_MouseMove, &shell::Form1::Command4_MouseMove, &shell::Form1::Command5_MouseMove,
        &shell::Form1::Command6_MouseMove, &shell::Form1::Command7_MouseMove, &shell::Form1::Command8_MouseMove,
        &shell::Form1::Command10_MouseMove, &shell::Form1::Check1_MouseMove, &shell::Form1::Command2_MouseMove,
        &shell::Form1::Command3_MouseMove, &shell::Form1::Check3_MouseMove, &shell::Form1::Check2_MouseMove,
        &shell::Form1::Check4_MouseMove, &shell::Form1::Text1_MouseMove, &shell::Form1::Text2_MouseMove,
        &shell::Form1::Box_MouseMove, &shell::Form1::Toolbar1_MouseMove, &shell::Form1::Form_MouseMove,
    };
    QLabel* hints = panel(4);
    const QString font = QFontInfo(hints->font()).family() + QLatin1Char(' ')
                         + QString::number(QFontInfo(hints->font()).pointSizeF());
    QStringList seen;
    for (const Reaction hover : hovers) {
        (f.form.get()->*hover)(Qt::NoButton, Qt::NoModifier, 0, 0);
        const QString hint = hints->text();
        QVERIFY(!hint.isEmpty() && !seen.contains(hint));
        seen << hint;
        // What the panel needs to show the text whole: frame, indent and the text itself.
        const int needed = hints->sizeHint().width();
        QVERIFY2(needed <= hints->width(), qPrintable(QStringLiteral("\"%1\" needs %2 px in %3, the panel has %4")
                                                          .arg(hint).arg(needed).arg(font).arg(hints->width())));
    }
    QVERIFY(seen.contains(QStringLiteral("Вставить набранную с клавиатуры дату")));
}

void Form1StatusBarTest::timeDateAndCapsShowBeforeAnyHint()
{
    QCOMPARE(panel(1)->text(), "10:07");
    QCOMPARE(panel(2)->text(), "17.04.2005");
    QCOMPARE(panel(3)->text(), "CAPS");
    QVERIFY(!panel(3)->isEnabled());
    QCOMPARE(panel(4)->text(), QString());
}

void Form1StatusBarTest::clockAndCapsLockAreKeptCurrent()
{
    f.seams->clock.dateTime = QDateTime(QDate(2006, 1, 2), QTime(23, 59, 30));
    f.seams->capsLock.on = true;
    QTRY_COMPARE(panel(1)->text(), "23:59");
    QTRY_COMPARE(panel(2)->text(), "02.01.2006");
    QTRY_VERIFY(panel(3)->isEnabled());
    QCOMPARE(panel(3)->text(), "CAPS");

    f.seams->capsLock.on = false;
    QTRY_VERIFY(!panel(3)->isEnabled());
    QCOMPARE(panel(3)->text(), "CAPS");
}

void Form1StatusBarTest::hidingAndShowingKeepsTheHintAndRefreshesTheClock()
{
    f.form->Text1_MouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    f.form->паиап_Click();
    QVERIFY(!f.ui().StatusBar1->isVisible());
    f.form->Check2_MouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    f.seams->clock.dateTime = QDateTime(QDate(2005, 4, 18), QTime(9, 5));

    f.form->паиап_Click();
    QVERIFY(f.ui().StatusBar1->isVisible());
    // At once, not only at the next tick.
    QCOMPARE(panel(1)->text(), "09:05");
    QCOMPARE(panel(2)->text(), "18.04.2005");
    QCOMPARE(panel(4)->text(), "Вставить сегоднешнею дату");
}

void Form1StatusBarTest::barFollowsTheWindowWidth()
{
    f.form->Command10_MouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    const QStringList texts = {panel(1)->text(), panel(2)->text(), panel(3)->text(), panel(4)->text()};
    const int narrowHint = panel(4)->width();

    f.form->setOuterWidthTwips(9405);
    QStatusBar* bar = f.ui().StatusBar1;
    QCOMPARE(bar->geometry(), QRect(0, f.ui().client->height() - 25, design::clientWidthForOuter(9405), 25));
    QTRY_COMPARE(panel(4)->geometry().right() >= bar->width() - 3, true);
    QVERIFY(panel(4)->width() > narrowHint);
    QCOMPARE(panel(1)->width(), 96);

    f.form->setOuterWidthTwips(7830);
    QCOMPARE(bar->width(), 517);
    QTRY_COMPARE(panel(4)->width(), narrowHint);
    QCOMPARE(QStringList({panel(1)->text(), panel(2)->text(), panel(3)->text(), panel(4)->text()}), texts);
}

void Form1StatusBarTest::clickingAPanelChangesNothing_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<Qt::MouseButton>("button");
    for (int number = 1; number <= 4; ++number)
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::addRow("panel %d button %d", number, int(button)) << number << button;
}

void Form1StatusBarTest::clickingAPanelChangesNothing()
{
    QFETCH(int, number);
    QFETCH(Qt::MouseButton, button);

    f.form->Command5_MouseMove(Qt::NoButton, Qt::NoModifier, 0, 0);
    const QStringList before = {panel(1)->text(), panel(2)->text(), panel(3)->text(), panel(4)->text()};
    const QSize client = f.ui().client->size();
    {
        testing::WindowMouse mouse(f.form.get());
        mouse.press(panel(number), button);
        mouse.release();
    }
    QTest::qWait(20);
    QCOMPARE(QStringList({panel(1)->text(), panel(2)->text(), panel(3)->text(), panel(4)->text()}), before);
    QCOMPARE(f.ui().client->size(), client);
    QVERIFY(f.seams->messages.calls.isEmpty());
    QVERIFY(f.seams->dialog.calls.isEmpty());
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }), 1);
}

void Form1StatusBarTest::systemCapsLockReadsOffWithoutAnXServer()
{
    // Offscreen there is no keyboard state to read.
    QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    QVERIFY(!platform::SystemCapsLock().isOn());
}

QTEST_MAIN(Form1StatusBarTest)
#include "tst_form1statusbar.moc"
