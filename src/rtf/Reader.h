// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"
#include "rtf/Error.h"

#include <QByteArrayView>

#include <optional>

namespace krambol::rtf {

// What reading gave. error is set when the input is not a sound RTF document:
// - Empty: no bytes, or only blanks and NUL bytes;
// - NotRtf: the input does not begin with "{\rtf" (blanks before it are allowed);
// - UnexpectedEnd: the input ends inside the document's outer group (a truncated file).
// - TooComplex: the document holds so many paragraphs, runs, distinct formats, fonts or colours for the
//   input's size that holding and showing it would cost more memory than the budget below allows;
// - TooLarge: the input is larger than a document's text positions reach (2 GiB).
// document always holds what was readable: nothing for Empty, NotRtf, TooComplex and TooLarge, the text up
// to the cut for UnexpectedEnd. Everything else is read without an error: unknown control words and destinations
// are skipped, broken hex escapes give no character, anything after the closing brace is ignored.
struct ReadResult {
    Document document;
    std::optional<Error> error;
};

// What is read: \'hh in the code page of the current font's \fcharset (else \ansicpg, \mac, \pc, \pca;
// else 1252), \uN with \ucN fallbacks skipped, \upr's Unicode half, \par \line \tab \cell \row, the
// special-character words and symbols, \plain, font, \fs, \b \i \ul (\ul0, \ulnone and the other
// underline styles), \cf with the colour table, \v (hidden text is left out), a field's result.
// Skipped: {\* ...} groups, the style sheet, \info, pictures, \bin data, headers, footers, footnotes,
// annotations, field instructions, bookmarks and \nonesttables fallbacks. List labels (\pntext, \listtext)
// are kept as text. A run whose font is missing from the font table gets CharFormat's default font; with no
// \fs a run is 12 points (\fs24). Groups nested deeper than 1024 are skipped. Memory stays proportional to
// the input and time linear in it.
//
// The budget: reading estimates what the document will cost in memory once read and shown in a text
// document (bytes per element below, measured with Qt's QTextDocument), and refuses the input (TooComplex,
// at the byte where the estimate ran out) when it exceeds a fixed allowance plus a multiple of the input's
// size. Text as word processors write it stays far below: it spends many bytes of RTF on each paragraph,
// format change, font and colour.
struct Budget {
    qsizetype allowance = qsizetype(6) << 20;
    int perInputByte = 9;
    // Estimated bytes per element, as measured (bench/bench_crafted): QTextDocument spends about 450 bytes
    // on each distinct format however few its properties, 30 on each fragment and 140 on each block.
    int perCharacter = 5;
    int perParagraph = 150;   // a text block, beside its character
    int perRun = 80;          // a change of format inside the text
    int perFormat = 640;      // a distinct format (font, size, style, colour)
    int perFont = 64;         // a font table entry
    int perColor = 16;        // a colour table entry with a colour
};

ReadResult read(QByteArrayView rtf, const Budget& budget = {});

} // namespace krambol::rtf
