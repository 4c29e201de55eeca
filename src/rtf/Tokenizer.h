// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/ControlWord.h"

#include <QByteArrayView>

#include <array>
#include <concepts>

namespace krambol::rtf {

// What the tokenizer finds, in input order.
class TokenListener
{
public:
    virtual ~TokenListener() = default;
    virtual void groupStart() = 0;
    virtual void groupEnd() = 0;
    // A control word with its parameter (hasParameter false: parameter is 0). Parameters saturate at
    // ±999 999 999. \bin is not reported: its data comes through binary().
    virtual void controlWord(ControlWord word, bool hasParameter, int parameter) = 0;
    // A control symbol other than \' : '~', '-', '_', '*', '{', '}', '\\', '\n' (backslash before a line
    // end) and any other non-letter.
    virtual void controlSymbol(char symbol) = 0;
    // \'hh; byte is -1 when the two characters after \' are not hexadecimal digits.
    virtual void hexByte(int byte) = 0;
    // Literal text: never contains braces, backslashes, CR, LF or control bytes other than TAB.
    virtual void text(QByteArrayView bytes) = 0;
    virtual void binary(QByteArrayView bytes) = 0;
};

// Splits RTF into groups, control words, control symbols, text and binary data. It stops when the
// outermost group closes (anything after it is not read) or the input ends, or, for a listener with a
// member `bool stopped() const`, after the token that made it return true. No recursion, no allocation:
// memory does not depend on the input.
class Tokenizer
{
public:
    struct Result {
        qsizetype end;       // where reading stopped
        int openGroups;      // groups still open there (0 for a complete document)
    };
    static Result run(QByteArrayView input, TokenListener& listener);

    // The same for a listener whose type is known: its calls are bound at compile time, which the
    // reader's speed depends on.
    template<typename Listener>
    static Result run(QByteArrayView input, Listener& listener);
};

namespace tokenizer {

inline constexpr int maxParameter = 999'999'999;
inline constexpr qsizetype maxWordLength = 32;

// Bytes that end a run of literal text.
constexpr std::array<bool, 256> makeStops()
{
    std::array<bool, 256> stops{};
    for (int c = 0; c < 0x20; ++c)
        stops[c] = c != '\t';
    stops['{'] = stops['}'] = stops['\\'] = true;
    return stops;
}
inline constexpr std::array<bool, 256> stops = makeStops();

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

} // namespace tokenizer

template<typename Listener>
Tokenizer::Result Tokenizer::run(QByteArrayView input, Listener& listener)
{
    const auto* const begin = reinterpret_cast<const unsigned char*>(input.data());
    const auto* const end = begin + input.size();
    const auto* p = begin;
    int depth = 0;

    while (p < end) {
        if constexpr (requires(const Listener& l) { { l.stopped() } -> std::same_as<bool>; }) {
            if (listener.stopped())
                return {p - begin, qMax(depth, 0)};
        }
        const unsigned char c = *p;
        if (c == '{') {
            ++p;
            if (depth < tokenizer::maxParameter)
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
            if (tokenizer::isLetter(s)) {
                const auto* const nameStart = p;
                while (p < end && tokenizer::isLetter(*p))
                    ++p;
                const qsizetype nameLength = p - nameStart;
                bool negative = false;
                bool hasParameter = false;
                long long value = 0;
                if (p < end && *p == '-' && p + 1 < end && tokenizer::isDigit(p[1])) {
                    negative = true;
                    ++p;
                }
                while (p < end && tokenizer::isDigit(*p)) {
                    hasParameter = true;
                    if (value <= tokenizer::maxParameter)
                        value = value * 10 + (*p - '0');
                    ++p;
                }
                if (value > tokenizer::maxParameter)
                    value = tokenizer::maxParameter;
                if (p < end && *p == ' ')
                    ++p;
                const int parameter = int(negative ? -value : value);
                const ControlWord word = nameLength > tokenizer::maxWordLength
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
                        digit = tokenizer::hexValue(*p);
                        ++p;
                    }
                }
                listener.hexByte(digits[0] >= 0 && digits[1] >= 0 ? digits[0] * 16 + digits[1] : -1);
            } else {
                ++p;
                listener.controlSymbol(s == '\r' ? '\n' : char(s));
            }
        } else if (tokenizer::stops[c]) {
            ++p;   // CR, LF and other control bytes carry no text
        } else {
            const auto* const start = p;
            ++p;
            while (p < end && !tokenizer::stops[*p])
                ++p;
            listener.text(QByteArrayView(reinterpret_cast<const char*>(start), p - start));
        }
    }
    return {input.size(), qMax(depth, 0)};
}


} // namespace krambol::rtf
