// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/Fonts.h"

#include <QFont>
#include <QStringList>

namespace krambol::design {

void installFontSubstitutions()
{
    static const bool installed = [] {
        // The design's widths were made for the classic font. Liberation Sans has the widths of Arial,
        // close to the classic font's; DejaVu Sans is about 15 % wider, too wide for the longest
        // status-bar hints, and is only the last resort.
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace krambol::design
