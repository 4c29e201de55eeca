// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FontSize.h"

#include "design/LeadingNumber.h"

#include <algorithm>

namespace krambol::shell {

FontSizeReading readFontSize(QStringView fieldText)
{
    const double number = design::leadingNumber(fieldText);
    if (!(number > 0.0))
        return {kDefaultFontSize, true};
    return {std::min(number, kMaxFontSize), false};
}

} // namespace krambol::shell
