// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the icon and cursor reader: it must answer with a picture or a
// reason, never crash, read out of bounds or allocate from an unchecked size.
#include "cursors/PointerPicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [picture, error] = krambol::cursors::readPointerPicture(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    // A picture and a reason never come together, and one of them always comes.
    if (picture.isNull() != error.has_value() || (error && error->isEmpty()))
        __builtin_trap();
    if (!picture.isNull()) {
        const QSize s = picture.image.size();
        if (s.width() > 256 || s.height() > 256 || !QRect(QPoint(), s).contains(picture.hotSpot))
            __builtin_trap();
    }
    return 0;
}
