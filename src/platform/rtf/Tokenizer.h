#pragma once

#include "platform/rtf/ControlWord.h"

#include <QByteArrayView>

#include <optional>

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
// outermost group closes (anything after it is not read) or the input ends. No recursion, no
// allocation: memory does not depend on the input.
class Tokenizer
{
public:
    struct Result {
        qsizetype end;       // where reading stopped
        int openGroups;      // groups still open there (0 for a complete document)
    };
    static Result run(QByteArrayView input, TokenListener& listener);
};

} // namespace krambol::rtf
