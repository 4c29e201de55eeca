// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/ImageSlot.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace krambol::cursors {

ImageSlot::ImageSlot(QWidget* parent)
    : QWidget(parent)
{
    // Images take no keyboard focus unless their owner says so; what lies outside the picture
    // shows the container.
    setFocusPolicy(Qt::NoFocus);
}

void ImageSlot::setPicture(const PointerPicture& picture)
{
    m_picture = picture;
    m_pixmap = picture.isNull() ? QPixmap() : QPixmap::fromImage(picture.image);
    updateGeometry();
    update();
}

void ImageSlot::setStretch(bool stretch)
{
    if (m_stretch == stretch)
        return;
    m_stretch = stretch;
    update();
}

QSize ImageSlot::sizeHint() const
{
    return m_picture.isNull() ? QSize(32, 32) : m_picture.image.size();
}

void ImageSlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (hasFocus()) {
        // A dotted frame shows where the keyboard is, as on a button.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    if (m_pixmap.isNull())
        return;
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_pixmap);
    } else {
        painter.drawPixmap(0, 0, m_pixmap);
    }
}

void ImageSlot::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

// A click is a left press and release both on the control, as with a button.
void ImageSlot::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void ImageSlot::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        event->accept();
        emit clicked();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace krambol::cursors
