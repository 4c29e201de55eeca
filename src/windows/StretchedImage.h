// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

namespace krambol::windows {

// An image control whose picture is stretched to fill the control's rectangle. It takes no focus
// and draws nothing when it has no picture.
class StretchedImage : public QWidget
{
    Q_OBJECT

public:
    explicit StretchedImage(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace krambol::windows
