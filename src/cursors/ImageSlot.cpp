#include "cursors/ImageSlot.h"

#include <QMouseEvent>
#include <QPainter>

namespace krambol::cursors {

ImageSlot::ImageSlot(QWidget* parent)
    : QWidget(parent)
{
    // Images take no keyboard focus; what lies outside the picture shows the container.
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
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
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

} // namespace krambol::cursors
