// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"

class QTextCursor;
class QTextDocument;

namespace krambol::reg {

// Converts a range of a QTextDocument (the whole document by default) into an rtf::Document. Each run's
// format is the character format as shown: the explicit format merged over the document's default font
// (family, point size rounded to the nearest half point, bold, italic, underline), and the foreground
// colour when one is set. Blocks are separated by U+2029.
rtf::Document toRtfDocument(const QTextDocument& document, int from = 0, int to = -1);

// Inserts the runs at the cursor with their formats; paragraph breaks become blocks.
void insertRtfDocument(QTextCursor& cursor, const rtf::Document& document);

} // namespace krambol::reg
