// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/LabelDesign.h"

#include "design/Twips.h"

#include <QFont>
#include <QLabel>

namespace krambol::windows {

QFont labelFont(qreal pointSize)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

QLabel* createLabel(QWidget* parent, const LabelDesign& design)
{
    auto* label = new QLabel(design.text.toString(), parent);
    label->setObjectName(QString::fromLatin1(design.objectName));
    label->setFont(labelFont(design.pointSize));
    label->setAutoFillBackground(false);
    label->setFocusPolicy(Qt::NoFocus);
    label->setMargin(0);
    label->setAlignment((design.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);

    const QRect place = design::twipsToPixels(design.place);
    label->setGeometry(place);
    if (design.autoSize) {
        // A right-aligned label keeps its right edge, so the text still ends where the design ends it
        // when the desktop's substitute font is wider than the design's.
        const QSize fit = label->sizeHint();
        const int left = design.alignRight ? place.right() + 1 - fit.width() : place.left();
        label->setGeometry(QRect(QPoint(left, place.top()), fit));
    } else {
        // The design sized these labels for its own font. A wider substitute font would cut the text
        // off, so the label grows to the right until its text fits on one line; it keeps the design's
        // height, which the about window's free strip below the labels relies on.
        label->setGeometry(QRect(place.topLeft(), QSize(qMax(place.width(), label->sizeHint().width()), place.height())));
    }
    return label;
}

} // namespace krambol::windows
