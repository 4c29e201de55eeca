// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "windows/LabelDesign.h"

#include <QStringView>

#include <span>

class QLabel;
class QWidget;

namespace krambol::windows {

class StretchedImage;

// The design of a picture window (the splash and the about window): a borderless window of a fixed
// client size, the shared picture over its whole area and the labels over the picture.
struct PictureWindowDesign
{
    const char* objectName;          // also the window's title
    int clientWidth;                 // twips
    int clientHeight;                // twips
    QStringView pictureName;         // what a screen reader calls the picture
    std::span<const LabelDesign> labels;  // in the order they are created
};

// The controls a picture window's build made, the labels looked up by their design names.
struct PictureWindowParts
{
    StretchedImage* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
};

// Builds the window as the design says: a window that deletes itself when closed, the picture
// created first so every label lies above it, then the labels, and the window centred on the
// primary screen.
PictureWindowParts buildPictureWindow(QWidget* window, const PictureWindowDesign& design);

} // namespace krambol::windows
