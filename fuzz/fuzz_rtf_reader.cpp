// libFuzzer target: the RTF reader on any bytes, and the writer on whatever the reader made of them.
#include "platform/rtf/Reader.h"
#include "platform/rtf/Writer.h"

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
    if (second.document.runs.size() != first.document.runs.size())
        fail("written document reads back to other runs");
    for (qsizetype i = 0; i < first.document.runs.size(); ++i) {
        if (!(second.document.runs[i].format == first.document.runs[i].format))
            fail("written document reads back to other formats");
    }
    return 0;
}
