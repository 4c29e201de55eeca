#pragma once

#include "platform/rtf/Document.h"
#include "platform/rtf/Error.h"

#include <QByteArrayView>

#include <optional>

namespace krambol::rtf {

// What reading gave. error is set when the input is not a sound RTF document:
// - Empty: no bytes, or only blanks and NUL bytes;
// - NotRtf: the input does not begin with "{\rtf" (blanks before it are allowed);
// - UnexpectedEnd: the input ends inside the document's outer group (a truncated file).
// document always holds what was readable: nothing for Empty and NotRtf, the text up to the cut for
// UnexpectedEnd. Everything else is read without an error: unknown control words and destinations
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
ReadResult read(QByteArrayView rtf);

} // namespace krambol::rtf
