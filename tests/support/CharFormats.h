// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBlock>
#include <QTextDocument>

namespace krambol::testing {

// Whether any text of the document carries a character format of its own.
inline bool hasOwnCharFormats(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (!it.fragment().charFormat().properties().isEmpty())
                return true;
    return false;
}

} // namespace krambol::testing
