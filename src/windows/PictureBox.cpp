// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/PictureBox.h"

#include <QPainter>
#include <QPalette>

namespace krambol::windows {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

void PictureBox::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void PictureBox::setBackgroundColor(const QColor& color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
}

void PictureBox::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_picture);
    } else {
        // Drawn at the picture's own size in device-independent pixels.
        painter.drawPixmap(QPoint(0, 0), m_picture);
    }
}

} // namespace krambol::windows
