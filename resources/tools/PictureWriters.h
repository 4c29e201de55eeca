// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

// Writers for the picture files the application embeds. Qt writes PNG and JPEG for us; the
// Windows formats are written here so that every file has exactly the depth and layout we want.
namespace krambol::tools {

using Palette = QList<QRgb>;

// The sixteen colours of the classic VGA palette (black first, silver at index 7).
Palette vgaPalette();
// A palette of at most 256 colours for an image: its own colours when it has no more than 256,
// otherwise the most used colours (black always among them).
Palette paletteFor(const QImage& image, int maxColours);
// Index of the palette colour nearest to c.
int nearestIndex(const Palette& palette, QRgb c);

// A Windows bitmap file; bitsPerPixel is 4 (with the given 16-colour palette) or 24.
QByteArray bmpFile(const QImage& image, int bitsPerPixel, const Palette& palette = {});

// One image of an icon or cursor file: pixels with alpha (alpha below 128 becomes transparent
// through the AND mask), stored at bitsPerPixel 4, 8 or 24.
struct IconImage
{
    QImage image;
    int bitsPerPixel = 8;
    QPoint hotSpot;   // cursors only
};

// An .ico (type 1) or .cur (type 2) file with BMP-coded images (XOR bitmap + AND mask).
QByteArray iconFile(const QList<IconImage>& images, bool cursor);

bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace krambol::tools
