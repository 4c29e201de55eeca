// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace krambol::rtf {

// The control words the reader acts on; every other word is Unknown.
enum class ControlWord {
    Unknown,
    // Document and code pages
    Rtf, Ansi, Ansicpg, Mac, Pc, Pca, Deff,
    // Tables that the header holds
    Fonttbl, Fcharset, Colortbl, Red, Green, Blue,
    // Destinations whose text is not part of the document
    SkipDestination,
    // Unicode
    U, Uc, Upr, Ud,
    // Binary data
    Bin,
    // Character formatting
    Plain, F, Fs, B, I, Ul, Ulnone, Cf, V,
    // Paragraphs and breaks
    Pard, Par, Line, Tab, Cell, Row,
    // Special characters
    Emdash, Endash, Emspace, Enspace, Qmspace, Bullet, Lquote, Rquote, Ldblquote, Rdblquote,
};

// Looks a control word's name (letters only) up in the one table of known words.
ControlWord lookupTableControlWord(std::string_view name);

// The same, with the one-letter words of running text answered at once: most documents are made of them.
inline ControlWord lookupControlWord(std::string_view name)
{
    if (name.size() == 1) {
        switch (name[0]) {
        case 'u': return ControlWord::U;
        case 'b': return ControlWord::B;
        case 'i': return ControlWord::I;
        case 'f': return ControlWord::F;
        case 'v': return ControlWord::V;
        default: return ControlWord::Unknown;
        }
    }
    return lookupTableControlWord(name);
}

} // namespace krambol::rtf
