// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/LeadingNumber.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace krambol::design {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double leadingNumber(QStringView text)
{
    // Collect the characters of the number into plain ASCII, dropping blanks, then read it with
    // from_chars, which ignores the process locale (a Russian locale would otherwise want a comma).
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            number += char(text[i].unicode());
            ++i;
            any = true;
        }
        return any;
    };

    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += char(text[i].unicode());
        ++i;
    }
    bool mantissa = takeDigits();
    if (i < n && text[i] == u'.') {
        ++i;
        number += '.';
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;

    // An exponent counts only when digits follow it; otherwise the number ends before the letter.
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype save = i;
        std::string exponent = "e";
        ++i;
        skipBlanks();
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            exponent += char(text[i].unicode());
            ++i;
        }
        const std::string before = number;
        number += exponent;
        if (!takeDigits()) {
            number = before;
            i = save;
        }
    }
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-')
        ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too large is infinite, too small is zero; the exponent's sign tells which.
        const auto e = number.find('e');
        value = (e != std::string::npos && number[e + 1] == '-') ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

} // namespace krambol::design
