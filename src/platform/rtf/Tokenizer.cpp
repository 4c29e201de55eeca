#include "platform/rtf/Tokenizer.h"

#include <array>

namespace krambol::rtf {

namespace {

constexpr int maxParameter = 999'999'999;
constexpr qsizetype maxWordLength = 32;

// Bytes that end a run of literal text.
constexpr std::array<bool, 256> makeStops()
{
    std::array<bool, 256> stops{};
    for (int c = 0; c < 0x20; ++c)
        stops[c] = c != '\t';
    stops['{'] = stops['}'] = stops['\\'] = true;
    return stops;
}
constexpr std::array<bool, 256> stops = makeStops();

constexpr bool isLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

constexpr int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Tokenizer::Result Tokenizer::run(QByteArrayView input, TokenListener& listener)
{
    const auto* const begin = reinterpret_cast<const unsigned char*>(input.data());
    const auto* const end = begin + input.size();
    const auto* p = begin;
    int depth = 0;

    while (p < end) {
        const unsigned char c = *p;
        if (c == '{') {
            ++p;
            if (depth < maxParameter)
                ++depth;
            listener.groupStart();
        } else if (c == '}') {
            ++p;
            listener.groupEnd();
            if (--depth <= 0)
                return {p - begin, 0};
        } else if (c == '\\') {
            ++p;
            if (p == end)
                break;
            const unsigned char s = *p;
            if (isLetter(s)) {
                const auto* const nameStart = p;
                while (p < end && isLetter(*p))
                    ++p;
                const qsizetype nameLength = p - nameStart;
                bool negative = false;
                bool hasParameter = false;
                long long value = 0;
                if (p < end && *p == '-' && p + 1 < end && isDigit(p[1])) {
                    negative = true;
                    ++p;
                }
                while (p < end && isDigit(*p)) {
                    hasParameter = true;
                    if (value <= maxParameter)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                if (value > maxParameter)
                    value = maxParameter;
                if (p < end && *p == ' ')
                    ++p;
                const int parameter = int(negative ? -value : value);
                const ControlWord word = nameLength > maxWordLength
                    ? ControlWord::Unknown
                    : lookupControlWord({reinterpret_cast<const char*>(nameStart), std::size_t(nameLength)});
                if (word == ControlWord::Bin) {
                    // The count is clamped to what is left: a huge count cannot read past the end.
                    const qsizetype count = parameter > 0 ? qMin<qsizetype>(parameter, end - p) : 0;
                    listener.binary(QByteArrayView(reinterpret_cast<const char*>(p), count));
                    p += count;
                } else {
                    listener.controlWord(word, hasParameter, parameter);
                }
            } else if (s == '\'') {
                ++p;
                // Two characters make the escape; a brace or backslash is never swallowed by a broken one.
                int digits[2] = {-1, -1};
                for (int& digit : digits) {
                    if (p < end && *p != '{' && *p != '}' && *p != '\\') {
                        digit = hexValue(*p);
                        ++p;
                    }
                }
                listener.hexByte(digits[0] >= 0 && digits[1] >= 0 ? digits[0] * 16 + digits[1] : -1);
            } else {
                ++p;
                listener.controlSymbol(s == '\r' ? '\n' : char(s));
            }
        } else if (stops[c]) {
            ++p;   // CR, LF and other control bytes carry no text
        } else {
            const auto* const start = p;
            ++p;
            while (p < end && !stops[*p])
                ++p;
            listener.text(QByteArrayView(reinterpret_cast<const char*>(start), p - start));
        }
    }
    return {input.size(), qMax(depth, 0)};
}

} // namespace krambol::rtf
