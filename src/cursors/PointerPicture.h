// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

namespace krambol::cursors {

// A picture that can serve as a mouse pointer: the image an icon (.ico) or cursor (.cur) file carries,
// with its hot spot. Cursor files bring their own hot spot; icons have none, and get the one
// iconHotSpot() chooses.
struct PointerPicture
{
    enum class Kind { Icon, Cursor };

    QImage image;            // the largest, deepest image of the file, as ARGB32
    QPoint hotSpot;
    Kind kind = Kind::Icon;
    int bitsPerPixel = 0;    // the colour depth the file stores the image in

    bool isNull() const { return image.isNull(); }
};

// The hot spot given to an icon used as a pointer.
QPoint iconHotSpot(QSize size);

// A picture read, or why there is none: a sentence for the user, in Russian. Exactly one of the two.
struct PointerPictureRead
{
    PointerPicture picture;
    std::optional<QString> error;
};

// Reads an .ico or .cur file's bytes.
PointerPictureRead readPointerPicture(QByteArrayView data);
// Reads a file (also a Qt resource path).
PointerPictureRead loadPointerPicture(const QString& path);

// The pointer made from a picture; an empty picture gives the standard arrow.
QCursor toCursor(const PointerPicture& picture);

} // namespace krambol::cursors
