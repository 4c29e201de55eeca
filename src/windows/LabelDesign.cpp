#include "windows/LabelDesign.h"

#include "platform/Twips.h"

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

    const QRect place = platform::twipsToPixels(design.left, design.top, design.width, design.height);
    label->setGeometry(place);
    if (design.autoSize) {
        // A right-aligned label keeps its right edge, so the text still ends where the design ends it
        // when the desktop's substitute font is wider than the design's.
        const QSize fit = label->sizeHint();
        const int left = design.alignRight ? place.right() + 1 - fit.width() : place.left();
        label->setGeometry(QRect(QPoint(left, place.top()), fit));
    } else {
        // A label of fixed size breaks its text between words.
        label->setWordWrap(true);
    }
    return label;
}

} // namespace krambol::windows
