// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace krambol::windows {

// A picture box: a filled background with its picture drawn unscaled at the top-left corner, or
// stretched to the whole box. It can hold child controls and, like any tab stop, takes the focus by
// Tab and by a click. It draws no picture while it has none.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    void setBackgroundColor(const QColor& color);

    // Stretched, the picture fills the box, smoothly scaled; otherwise it keeps its own size.
    void setStretch(bool stretch);
    bool stretch() const { return m_stretch; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    bool m_stretch = false;
};

} // namespace krambol::windows
