// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

namespace krambol::rtf {

// Writes the document the way a classic rich edit control saves it: a code page 1251 header, one
// font table entry per font used, a colour table when colours are used, the runs with \b \i \ul \fs
// \cf, every non-ASCII character as \uN with its one-byte fallback in the font's code page (\'3f, a '?',
// where that has none), and the final \par.
QByteArray write(const Document& document);

// Takes written bytes piece by piece, in order; false stops the writing.
using Sink = std::function<bool(QByteArrayView)>;

// Writes the same bytes as write(), handed to `sink` as they are made in pieces of about `pieceSize`
// bytes (a piece of output that needs more makes a larger one), so that they are never all held at once.
// False when the sink stopped the writing.
bool write(const Document& document, const Sink& sink, qsizetype pieceSize = qsizetype(64) << 10);

} // namespace krambol::rtf
