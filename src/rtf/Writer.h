// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"

#include <QByteArray>

namespace krambol::rtf {

// Writes the document the way a classic rich edit control saves it: a code page 1251 header, one
// font table entry per font used, a colour table when colours are used, the runs with \b \i \ul \fs
// \cf, every non-ASCII character as \uN with its one-byte fallback in the font's code page (\'3f, a '?',
// where that has none), and the final \par.
QByteArray write(const Document& document);

} // namespace krambol::rtf
