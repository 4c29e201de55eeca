// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

namespace krambol::shell {

// The register's font size as the size field "Text8" gives it.
inline constexpr double kDefaultFontSize = 24.0;
// The largest size the register's font takes: the classic rich edit control's limit, and what a
// register file can carry (\fs3276). A larger number stays in the field; the font keeps to this.
inline constexpr double kMaxFontSize = 1638.0;

struct FontSizeReading
{
    double points;        // the size to apply
    bool restoreField;    // the field did not hold a positive number: it gets "24" back
};

// Reads the field as a number (BASIC Val: "12abc" is 12, "7.5" is 7.5, "10,5" is 10); a number that is
// not greater than 0 gives the default size and puts it back into the field.
FontSizeReading readFontSize(QStringView fieldText);

} // namespace krambol::shell
