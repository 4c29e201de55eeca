// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the RTF reader on any bytes, and the writer on whatever the reader made of them.
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace krambol::rtf;

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_rtf_reader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReadResult first = read(input);
    if (first.error) {
        if (first.error->position < 0 || first.error->position > input.size())
            fail("error position outside the input");
        if (first.error->message().isEmpty())
            fail("error without a message");
    }
    const QString text = first.document.plainText();
    if (text.size() > input.size())
        fail("more text than input");

    // What was read writes and reads back to the same text and formats.
    const ReadResult second = read(write(first.document));
    if (second.error)
        fail("written document does not read back");
    if (second.document.plainText() != text)
        fail("written document reads back to another text");
    if (second.document.runCount() != first.document.runCount())
        fail("written document reads back to other runs");
    for (qsizetype i = 0; i < first.document.runCount(); ++i) {
        if (first.document.runText(i).isEmpty() || (i > 0 && first.document.runFormat(i) == first.document.runFormat(i - 1)))
            fail("an empty run, or two neighbouring runs in one format");
        if (!(second.document.runFormat(i) == first.document.runFormat(i)))
            fail("written document reads back to other formats");
    }

    // A small budget refuses at a position inside the input, with nothing read, or reads the same document.
    Budget small;
    small.allowance = 512;
    small.perInputByte = 2;
    const ReadResult tight = read(input, small);
    if (tight.error && tight.error->code == Error::Code::TooComplex) {
        if (tight.error->position < 0 || tight.error->position > input.size() || !tight.document.isEmpty())
            fail("a refusal outside the input, or with a document");
    } else if (!(tight.document == first.document) || tight.error != first.error) {
        fail("a budget that suffices changes what is read");
    }
    return 0;
}
