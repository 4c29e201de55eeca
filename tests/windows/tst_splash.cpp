// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Form3.h"
#include "windows/StretchedImage.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

using krambol::windows::Form3;

class SplashTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isBorderlessWithLabelsOverAClippedPicture();
    void startsItsSingleTickWhenCreated();
    void staysOpenUntilItsTimerTicksAfterTwoSeconds();
    void ignoresPressesKeysAndTheMainWindowClosing();
};

void SplashTest::isBorderlessWithLabelsOverAClippedPicture()
{
    Form3 splash;
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(splash.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(splash.size(), QSize(444, 274));
    // The picture is larger than the window by 2 x 3 pixels; the window clips it.
    QCOMPARE(splash.Image1()->geometry(), QRect(0, 0, 446, 277));
    QCOMPARE(splash.lblVersion()->text(), QStringLiteral("Version 2.4.9"));
    QCOMPARE(splash.lblCompanyProduct()->text(), QStringLiteral("KERMIL SOFT"));
    QCOMPARE(splash.Label1()->text(), QStringLiteral("2005 год"));
    // Placed by the design; a substitute font wider than the design's may make it larger.
    QCOMPARE(splash.Label1()->pos(), QPoint(168, 240));
    QVERIFY(splash.Label1()->width() >= 113);
    QCOMPARE(splash.Label1()->height(), 33);
    for (QLabel* label : {splash.lblCompanyProduct(), splash.Label1(), splash.lblVersion(), splash.lblCopyright()})
        QCOMPARE(splash.childAt(label->geometry().center()), label);
}

void SplashTest::startsItsSingleTickWhenCreated()
{
    Form3 splash; // never shown: creating the window is what starts the timer
    auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QVERIFY(timer->isSingleShot());
    QCOMPARE(timer->interval(), 2000);
}

void SplashTest::staysOpenUntilItsTimerTicksAfterTwoSeconds()
{
    QElapsedTimer clock;
    clock.start();
    QPointer<Form3> splash = new Form3();
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));

    QTest::qWait(1500 - int(clock.elapsed()));
    QVERIFY(splash);
    QVERIFY(splash->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2500 - int(clock.elapsed()));
    QVERIFY2(clock.elapsed() >= 1990, qPrintable(QString::number(clock.elapsed())));
}

void SplashTest::ignoresPressesKeysAndTheMainWindowClosing()
{
    QElapsedTimer clock;
    clock.start();
    QPointer<Form3> splash = new Form3();
    auto* mainWindow = new QWidget();
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    mainWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));

    QWindow* window = splash->windowHandle();
    for (QWidget* control : {static_cast<QWidget*>(splash->Image1()), static_cast<QWidget*>(splash->lblVersion()),
                             static_cast<QWidget*>(splash->Label1())}) {
        const QPoint at = control->geometry().center();
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(window, button, Qt::NoModifier, at);
        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, at);
    }
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_A})
        QTest::keyClick(window, Qt::Key(key));
    mainWindow->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(clock.elapsed() < 1900); // everything above happened well before the tick
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 3000);
    QVERIFY(clock.elapsed() >= 1990);
}

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
