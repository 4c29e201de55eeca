// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace krambol::testing {

// Mouse input through the window, as the window system delivers it: the widget under the pointer
// receives the event, whatever widget the position was given against. Holds one button at most and
// releases it when it goes.
class WindowMouse
{
public:
    explicit WindowMouse(QWidget* window)
        : m_window(window)
    {
    }
    ~WindowMouse() { releaseHeld(); }

    // A point of widget (its centre by default) in the window's coordinates.
    QPoint at(const QWidget* widget, QPoint point = QPoint(-1, -1)) const
    {
        return widget->mapTo(m_window, point == QPoint(-1, -1) ? widget->rect().center() : point);
    }
    void move(const QWidget* widget, QPoint point = QPoint(-1, -1))
    {
        m_last = at(widget, point);
        QTest::mouseMove(m_window->windowHandle(), m_last);
    }
    void press(const QWidget* widget, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {}, QPoint point = QPoint(-1, -1))
    {
        m_last = at(widget, point);
        m_held = button;
        QTest::mousePress(m_window->windowHandle(), button, modifiers, m_last);
    }
    void release(Qt::KeyboardModifiers modifiers = {})
    {
        if (m_held == Qt::NoButton)
            return;
        const Qt::MouseButton button = m_held;
        m_held = Qt::NoButton;
        QTest::mouseRelease(m_window->windowHandle(), button, modifiers, m_last);
    }
    void releaseHeld() { release(); }

private:
    QWidget* m_window;
    QPoint m_last;
    Qt::MouseButton m_held = Qt::NoButton;
};

} // namespace krambol::testing
