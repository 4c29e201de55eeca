// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "windows/PictureBox.h"

namespace krambol::windows {

// An image control: a picture box whose picture is stretched to fill it, with no background of its
// own and no keyboard focus.
class StretchedImage : public PictureBox
{
    Q_OBJECT

public:
    explicit StretchedImage(QWidget* parent = nullptr);
};

} // namespace krambol::windows
