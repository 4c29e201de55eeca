// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace krambol::rtf {

// The Windows code page a font's \fcharset stands for; 0 when the charset names none (\fcharset1,
// "default", and unknown values): the document's code page applies then.
int codePageForCharset(int charset);

// The name QStringDecoder/QStringEncoder know a Windows code page by.
QByteArray codecNameForCodePage(int codePage);

} // namespace krambol::rtf
