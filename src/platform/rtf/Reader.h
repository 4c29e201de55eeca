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

ReadResult read(QByteArrayView rtf);

} // namespace krambol::rtf
