// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

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

// Reads an .ico or .cur file's bytes. On failure returns a null picture and, when error is given,
// a sentence saying why (in Russian, for the user).
PointerPicture readPointerPicture(QByteArrayView data, QString* error = nullptr);
// Reads a file (also a Qt resource path).
PointerPicture loadPointerPicture(const QString& path, QString* error = nullptr);

// The pointer made from a picture; an empty picture gives the standard arrow.
QCursor toCursor(const PointerPicture& picture);

} // namespace krambol::cursors
