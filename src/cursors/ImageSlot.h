// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cursors/PointerPicture.h"

#include <QPixmap>
#include <QWidget>

namespace krambol::cursors {

// An image control of the cursor panel: shows the picture it holds, at its natural size from the
// top-left corner or stretched to the whole control, and reports left-button clicks (and Space or
// Enter while it has the focus, which its owner gives it only when the user can see it). The picture
// object itself (not what is drawn) is what a click hands on as a pointer.
class ImageSlot : public QWidget
{
    Q_OBJECT

public:
    explicit ImageSlot(QWidget* parent = nullptr);

    void setPicture(const PointerPicture& picture);
    const PointerPicture& picture() const { return m_picture; }

    void setStretch(bool stretch);
    bool stretch() const { return m_stretch; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PointerPicture m_picture;
    QPixmap m_pixmap;
    bool m_stretch = false;
    bool m_pressed = false;
};

} // namespace krambol::cursors
