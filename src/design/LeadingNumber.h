// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

namespace krambol::design {

// Reads the number a text begins with, the way the classic BASIC Val() does: blanks (spaces, tabs,
// line feeds) are skipped, then an optional sign, digits, an optional "." with further digits and an
// optional exponent (E or D, optional sign, digits). Reading stops at the first character that cannot
// continue the number, so "12abc" is 12 and "10,5" is 10. Text that does not begin with a number is 0.
double leadingNumber(QStringView text);

} // namespace krambol::design
