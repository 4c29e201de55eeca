// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/Twips.h"

#include <QStringView>
#include <QtGlobal>

class QFont;
class QLabel;
class QWidget;

namespace krambol::windows {

// One row of a window's label table. Places and sizes are in twips from the top-left corner of the
// container's client area.
struct LabelDesign
{
    const char* objectName;
    QStringView text;
    design::TwipsRect place;
    qreal pointSize;
    // The label sizes itself to its text instead of keeping the design's width and height.
    bool autoSize = false;
    bool alignRight = false;
};

// The label font of the auxiliary windows: bold "MS Sans Serif" (the desktop substitutes a near
// font where that family is missing) in the given size.
QFont labelFont(qreal pointSize);

// Creates the label of a table row as a child of parent, with a transparent background, so that it
// is drawn over whatever lies below it.
QLabel* createLabel(QWidget* parent, const LabelDesign& design);

} // namespace krambol::windows
