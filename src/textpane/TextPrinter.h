// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPrinter;
class QTextDocument;

namespace krambol::platform {
class Progress;
}

namespace krambol::textpane {

using platform::Progress;

enum class PrintOutcome {
    Printed,
    // The user stopped it: no more pages were made after the one being printed.
    Cancelled,
    // The printer could not be opened (no page was made).
    NotStarted,
    // The printer reported an error while or after the pages were made, or the text changed while they
    // were made.
    Failed,
};

// Prints the characters from `from` to `to` of `document` on `printer`, page after page, the way
// QTextDocument::print lays out a document of its own (2 cm margins, fonts and formats of every run,
// the page number at the foot of each page), but in time linear in the text: a paragraph is laid out
// a bounded piece at a time, so a paragraph of millions of characters prints like many short ones.
// A word longer than a line is broken rather than cut off at the edge of the paper. A long text's pages
// are made on a thread of their own from copies of the text; this thread hands them over a part at a
// time and lets the progress handle the window's events meanwhile. A short text is copied at once and
// printed here, the window's events handled between two pages. The progress is reported after each page; a Cancel
// stops the printing after the page being made.
PrintOutcome printText(const QTextDocument& document, int from, int to, QPrinter& printer, Progress& progress);

} // namespace krambol::textpane
