// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"

class QFont;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace krambol::reg {

// A character format as a document with that default font shows it: the explicit format merged over the
// font (family, point size rounded to the nearest half point, bold, italic, underline), and the foreground
// colour when one is set.
rtf::CharFormat shownFormat(const QTextCharFormat& format, const QFont& defaultFont);

// Converts a range of a QTextDocument (the whole document by default) into an rtf::Document. Each run's
// format is its character format as shown over the document's default font (shownFormat); the break
// between two blocks is shown in the first one's block character format. Blocks are separated by U+2029.
// The format table holds each shown format once, in the order of first use.
rtf::Document toRtfDocument(const QTextDocument& document, int from = 0, int to = -1);

// Inserts the runs at the cursor with their formats; paragraph breaks become blocks.
void insertRtfDocument(QTextCursor& cursor, const rtf::Document& document);

} // namespace krambol::reg
