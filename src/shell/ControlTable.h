// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/Twips.h"

#include <span>

namespace krambol::shell {

enum class ControlKind {
    Toolbar,
    StatusBar,
    Frame,
    TextBox,
    CheckBox,          // standard check box
    PictureCheckBox,   // toggle button that stays pressed while ticked
    PictureButton,
    Button,            // standard push button
    RichText,
    Image,             // an image of the cursor panel
    PictureBox,        // holds a picture without showing it
};

// One control of the main window as the design places it. Lengths are twips from the top-left corner
// of the container's client area (the window's, or the frame's including its caption band).
struct ControlSpec
{
    const char* name;
    ControlKind kind;
    const char* container;  // nullptr: the window
    const char* caption;    // caption or start text, UTF-8
    design::TwipsRect place;
    int tab;                // position in the focus order; -1 for controls without one
    bool hidden;            // hidden at start
    const char* picture;    // resource path of the picture it carries at start, or nullptr
};

// Every control of Form1, visible and hidden, in the design's reading order.
std::span<const ControlSpec> form1Controls();

// Client size of Form1 at start, in twips.
inline constexpr int kForm1ClientWidth = 7755;
inline constexpr int kForm1ClientHeight = 5835;

} // namespace krambol::shell
