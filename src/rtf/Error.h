// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace krambol::rtf {

// Why an input is not a sound RTF document, and where (a byte offset into the input).
struct Error {
    enum class Code {
        Empty,          // no bytes, or only blanks and NUL bytes
        NotRtf,         // does not begin with "{\rtf"
        UnexpectedEnd,  // the input ends before the document's outer group is closed
        TooComplex,     // so many paragraphs, runs, formats, fonts or colours for its size that showing it
                        // would take many times its size in memory
        TooLarge,       // more bytes than a document may have
    };
    Code code;
    qsizetype position;

    // A sentence for the user, in Russian.
    QString message() const;
    friend bool operator==(const Error&, const Error&) = default;
};

} // namespace krambol::rtf
