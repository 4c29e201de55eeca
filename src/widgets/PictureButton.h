// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QPushButton>

namespace krambol::widgets {

// A picture-style button: a push button face that can carry a picture. Made checkable it is a
// picture-style check box, a toggle button that stays pressed while ticked. The picture is drawn
// centred on the face and clipped to it, so a picture larger than the face fills it; the caption is
// drawn over it.
class PictureButton : public QPushButton
{
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

    QPixmap facePicture() const { return m_picture; }
    // A null pixmap clears the picture: the plain look.
    void setFacePicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace krambol::widgets
