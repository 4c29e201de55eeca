// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/CodePages.h"

namespace krambol::rtf {

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;     // ANSI
    case 2: return 1252;     // Symbol: its glyphs sit on Latin code points
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift JIS
    case 129: return 949;    // Hangul
    case 134: return 936;    // GB 2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Eastern European
    case 254: return 437;    // PC 437
    case 255: return 850;    // OEM
    default: return 0;
    }
}

QByteArray codecNameForCodePage(int codePage)
{
    switch (codePage) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 866: return "IBM866";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

} // namespace krambol::rtf
