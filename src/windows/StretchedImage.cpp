// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/StretchedImage.h"

namespace krambol::windows {

StretchedImage::StretchedImage(QWidget* parent)
    : PictureBox(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setStretch(true);
}

} // namespace krambol::windows
