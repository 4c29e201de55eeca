// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Form2.h"

#include "windows/PictureWindow.h"
#include "windows/StretchedImage.h"
#include "windows/Version.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

#include <initializer_list>

namespace krambol::windows {

namespace {

// The client area of the about window, in twips. The picture leaves a strip of 15 twips (one pixel)
// free along the right and bottom edges.
constexpr int kClientWidth = 6705;
constexpr int kClientHeight = 4170;

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setFocusPolicy(Qt::NoFocus);
    const QString version = versionLabelText();
    const LabelDesign labels[] = {
        {"Label1", u"2005 год", {2640, 3600, 1695, 495}, 24, false, false},
        {"lblCompanyProduct", u"KERMIL SOFT", {1800, 360, 2565, 435}, 18, true, false},
        {"lblVersion", version, {4920, 3240, 1605, 300}, 12, true, true},
        {"lblCopyright", u"", {120, 3240, 4695, 255}, 12, false, false},
    };
    const PictureWindowParts parts =
        buildPictureWindow(this, {"Form2", kClientWidth, kClientHeight, u"О программе", labels});
    m_Image1 = parts.Image1;
    m_Label1 = parts.Label1;
    m_lblCompanyProduct = parts.lblCompanyProduct;
    m_lblVersion = parts.lblVersion;
    m_lblCopyright = parts.lblCopyright;

    QPalette black = m_lblCopyright->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_lblCopyright->setPalette(black);

    const std::initializer_list<QWidget*> pressable = {m_Image1, m_Label1, m_lblCompanyProduct, m_lblVersion,
                                                       m_lblCopyright};
    for (QWidget* control : pressable)
        control->installEventFilter(this);
}

void Form2::Image1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    close();
}

void Form2::Label1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    close();
}

void Form2::lblCompanyProduct_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    close();
}

void Form2::lblCopyright_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    close();
}

void Form2::lblVersion_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    close();
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    // A second press of a double click would arrive as a double-click event; treat it as a press too.
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);

    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::MouseButton button = mouse->button();
    const Qt::KeyboardModifiers shift = mouse->modifiers();
    const QPoint position = mouse->position().toPoint();
    if (watched == m_Image1)
        Image1_MouseDown(button, shift, position);
    else if (watched == m_Label1)
        Label1_MouseDown(button, shift, position);
    else if (watched == m_lblCompanyProduct)
        lblCompanyProduct_MouseDown(button, shift, position);
    else if (watched == m_lblCopyright)
        lblCopyright_MouseDown(button, shift, position);
    else if (watched == m_lblVersion)
        lblVersion_MouseDown(button, shift, position);
    else
        return QWidget::eventFilter(watched, event);
    return true;
}

} // namespace krambol::windows
