// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Form2.h"
#include "windows/StretchedImage.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWindow>

using krambol::windows::Form2;

// Every about window is shown; a test ends by deleting whatever is still open.
class AboutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void isBorderlessWithAFreeStripRightAndBelowThePicture();
    void anyButtonPressedOnThePictureOrALabelClosesIt_data();
    void anyButtonPressedOnThePictureOrALabelClosesIt();
    void pressOnTheFreeStripDoesNothing_data();
    void pressOnTheFreeStripDoesNothing();
    void keysDoNothing();
    void aPressClosesOnlyItsOwnWindow();

private:
    // Presses (and releases) a button at a point of the window, hit-tested as a real press is.
    static void press(Form2* form, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);

    QPointer<Form2> m_form;
};

void AboutTest::init()
{
    m_form = new Form2();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void AboutTest::cleanup()
{
    delete m_form.data();
}

void AboutTest::press(Form2* form, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at)
{
    QPointer<QWindow> window = form->windowHandle();
    QTest::mousePress(window, button, modifiers, at);
    // A press that closes the window may already have deleted it.
    if (window)
        QTest::mouseRelease(window, button, modifiers, at);
}

void AboutTest::isBorderlessWithAFreeStripRightAndBelowThePicture()
{
    QVERIFY(m_form->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(m_form->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(m_form->size(), QSize(447, 278));
    QCOMPARE(m_form->Image1()->geometry(), QRect(0, 0, 446, 277));
    QCOMPARE(m_form->lblVersion()->text(), QStringLiteral("Version 2.4.9"));
    QCOMPARE(m_form->lblCopyright()->palette().color(QPalette::WindowText), QColor(Qt::black));
    for (QWidget* child : m_form->findChildren<QWidget*>())
        QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void AboutTest::anyButtonPressedOnThePictureOrALabelClosesIt_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    const char* const controls[] = {"Image1", "Label1", "lblCompanyProduct", "lblCopyright", "lblVersion"};
    const std::pair<const char*, Qt::MouseButton> buttons[] = {
        {"left", Qt::LeftButton}, {"right", Qt::RightButton}, {"middle", Qt::MiddleButton}};
    for (const char* control : controls)
        for (const auto& [name, button] : buttons)
            QTest::addRow("%s %s", control, name) << QString::fromLatin1(control) << button
                                                   << Qt::KeyboardModifiers();
    QTest::newRow("Image1 right with shift and ctrl")
        << "Image1" << Qt::RightButton << (Qt::ShiftModifier | Qt::ControlModifier);
    QTest::newRow("lblCopyright left with alt") << "lblCopyright" << Qt::LeftButton
                                                << Qt::KeyboardModifiers(Qt::AltModifier);
}

void AboutTest::anyButtonPressedOnThePictureOrALabelClosesIt()
{
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    auto* target = m_form->findChild<QWidget*>(control);
    QVERIFY(target);
    const QPoint at = target->geometry().center();
    QCOMPARE(m_form->childAt(at), target); // nothing covers the control there

    QTest::mousePress(m_form->windowHandle(), button, modifiers, at);
    QVERIFY(m_form.isNull() || !m_form->isVisible()); // gone as soon as the button goes down
    QTRY_VERIFY(m_form.isNull());
}

void AboutTest::pressOnTheFreeStripDoesNothing_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("bottom-right corner pixel") << QPoint(446, 277) << Qt::LeftButton;
    QTest::newRow("right strip") << QPoint(446, 100) << Qt::RightButton;
    QTest::newRow("bottom strip") << QPoint(200, 277) << Qt::MiddleButton;
}

void AboutTest::pressOnTheFreeStripDoesNothing()
{
    QFETCH(QPoint, at);
    QFETCH(Qt::MouseButton, button);

    QCOMPARE(m_form->childAt(at), nullptr);
    press(m_form, button, Qt::NoModifier, at);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_form);
    QVERIFY(m_form->isVisible());
}

void AboutTest::keysDoNothing()
{
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Tab, Qt::Key_A})
        QTest::keyClick(m_form->windowHandle(), Qt::Key(key));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_form);
    QVERIFY(m_form->isVisible());
}

void AboutTest::aPressClosesOnlyItsOwnWindow()
{
    QPointer<Form2> second = new Form2();
    second->show();
    QVERIFY(QTest::qWaitForWindowExposed(second));

    press(second, Qt::LeftButton, Qt::NoModifier, second->Image1()->geometry().center());
    QTRY_VERIFY(second.isNull());
    QVERIFY(m_form);
    QVERIFY(m_form->isVisible());
}

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
