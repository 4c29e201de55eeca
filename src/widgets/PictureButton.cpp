// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PictureButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace krambol::widgets {

PictureButton::PictureButton(QWidget* parent)
    : QPushButton(parent)
{
}

void PictureButton::setFacePicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    QRect picture(QPoint(0, 0), m_picture.deviceIndependentSize().toSize());
    picture.moveCenter(face.center());
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        picture.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.save();
    painter.setClipRect(face);
    painter.drawPixmap(picture, m_picture);
    painter.restore();

    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}

} // namespace krambol::widgets
