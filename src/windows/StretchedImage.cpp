// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/StretchedImage.h"

#include <QPainter>

namespace krambol::windows {

StretchedImage::StretchedImage(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void StretchedImage::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void StretchedImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_picture);
}

} // namespace krambol::windows
