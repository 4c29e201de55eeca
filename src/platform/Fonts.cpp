#include "platform/Fonts.h"

#include <QFont>
#include <QStringList>

namespace krambol::platform {

void installFontSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace krambol::platform
