// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/Tokenizer.h"

namespace krambol::rtf {

Tokenizer::Result Tokenizer::run(QByteArrayView input, TokenListener& listener)
{
    return run<TokenListener>(input, listener);
}

} // namespace krambol::rtf
