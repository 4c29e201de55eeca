// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureWriters.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <limits>
#include <utility>

namespace krambol::tools {

namespace {

void putU8(QByteArray& out, int v) { out.append(char(v & 0xff)); }
void putU16(QByteArray& out, int v)
{
    putU8(out, v);
    putU8(out, v >> 8);
}
void putU32(QByteArray& out, qint64 v)
{
    putU16(out, int(v & 0xffff));
    putU16(out, int((v >> 16) & 0xffff));
}

int rowBytes(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

void putInfoHeader(QByteArray& out, int width, int height, int bitsPerPixel, int imageBytes, int coloursUsed)
{
    putU32(out, 40);
    putU32(out, width);
    putU32(out, height);
    putU16(out, 1);
    putU16(out, bitsPerPixel);
    putU32(out, 0);            // no compression
    putU32(out, imageBytes);
    putU32(out, 2835);         // 72 dpi
    putU32(out, 2835);
    putU32(out, coloursUsed);
    putU32(out, 0);
}

void putPalette(QByteArray& out, const Palette& palette, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        putU8(out, qBlue(c));
        putU8(out, qGreen(c));
        putU8(out, qRed(c));
        putU8(out, 0);
    }
}

bool opaque(QRgb c) { return qAlpha(c) >= 128; }

// The colour bits of one image, rows bottom-up; transparent pixels are black, so that the
// AND mask shows the screen through unchanged.
QByteArray colourBits(const QImage& image, int bitsPerPixel, const Palette& palette, bool honourAlpha)
{
    const int stride = rowBytes(image.width(), bitsPerPixel);
    QByteArray bits(qsizetype(stride) * image.height(), '\0');
    const int black = palette.isEmpty() ? 0 : nearestIndex(palette, qRgb(0, 0, 0));
    QHash<QRgb, int> cache;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uchar*>(bits.data()) + qsizetype(image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const bool shown = !honourAlpha || opaque(c);
            if (bitsPerPixel == 24) {
                const QRgb v = shown ? c : qRgb(0, 0, 0);
                row[x * 3] = uchar(qBlue(v));
                row[x * 3 + 1] = uchar(qGreen(v));
                row[x * 3 + 2] = uchar(qRed(v));
                continue;
            }
            int index = black;
            if (shown) {
                const QRgb key = c | 0xff000000u;
                auto it = cache.constFind(key);
                index = it != cache.cend() ? *it : *cache.insert(key, nearestIndex(palette, key));
            }
            if (bitsPerPixel == 8)
                row[x] = uchar(index);
            else if (x % 2 == 0)
                row[x / 2] = uchar(index << 4);
            else
                row[x / 2] |= uchar(index & 0x0f);
        }
    }
    return bits;
}

QByteArray andMask(const QImage& image)
{
    const int stride = rowBytes(image.width(), 1);
    QByteArray bits(qsizetype(stride) * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uchar*>(bits.data()) + qsizetype(image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            if (!opaque(image.pixel(x, y)))
                row[x / 8] |= uchar(0x80 >> (x % 8));
        }
    }
    return bits;
}

} // namespace

Palette vgaPalette()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

Palette paletteFor(const QImage& image, int maxColours)
{
    Palette own{qRgb(0, 0, 0)};
    QHash<QRgb, bool> seen{{qRgb(0, 0, 0), true}};
    for (int y = 0; y < image.height() && own.size() <= maxColours; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (!opaque(c))
                continue;
            const QRgb key = c | 0xff000000u;
            if (!seen.contains(key)) {
                seen.insert(key, true);
                own.append(key);
            }
        }
    }
    if (own.size() <= maxColours)
        return own;

    // Too many colours: the most used ones, counted at 5 bits a channel, each bucket
    // represented by the mean of its colours.
    struct Bucket { qint64 r = 0, g = 0, b = 0, count = 0; };
    QHash<int, Bucket> buckets;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (!opaque(c))
                continue;
            Bucket& bucket = buckets[(qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3)];
            bucket.r += qRed(c);
            bucket.g += qGreen(c);
            bucket.b += qBlue(c);
            ++bucket.count;
        }
    }
    QList<std::pair<int, Bucket>> sorted;
    for (auto it = buckets.cbegin(); it != buckets.cend(); ++it)
        sorted.append({it.key(), it.value()});
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.second.count != b.second.count ? a.second.count > b.second.count : a.first < b.first;
    });
    Palette popular{qRgb(0, 0, 0)};
    for (const auto& [key, bucket] : sorted) {
        if (popular.size() == maxColours)
            break;
        popular.append(qRgb(int(bucket.r / bucket.count), int(bucket.g / bucket.count), int(bucket.b / bucket.count)));
    }
    return popular;
}

int nearestIndex(const Palette& palette, QRgb c)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        // Weighted as the eye sees: green counts most, blue least.
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

QByteArray bmpFile(const QImage& source, int bitsPerPixel, const Palette& palette)
{
    Q_ASSERT(bitsPerPixel == 4 || bitsPerPixel == 24);
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int paletteEntries = bitsPerPixel == 4 ? 16 : 0;
    const QByteArray bits = colourBits(image, bitsPerPixel, palette, false);
    const int offset = 14 + 40 + paletteEntries * 4;

    QByteArray out;
    out.append("BM");
    putU32(out, offset + bits.size());
    putU16(out, 0);
    putU16(out, 0);
    putU32(out, offset);
    putInfoHeader(out, image.width(), image.height(), bitsPerPixel, int(bits.size()), paletteEntries);
    putPalette(out, palette, paletteEntries);
    out.append(bits);
    return out;
}

QByteArray iconFile(const QList<IconImage>& images, bool cursor)
{
    QList<QByteArray> bodies;
    for (const IconImage& entry : images) {
        const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
        const int bpp = entry.bitsPerPixel;
        Q_ASSERT(bpp == 4 || bpp == 8 || bpp == 24);
        const int paletteEntries = bpp == 24 ? 0 : 1 << bpp;
        const Palette palette = bpp == 4 ? vgaPalette() : bpp == 8 ? paletteFor(image, 256) : Palette{};
        const QByteArray xorBits = colourBits(image, bpp, palette, true);
        const QByteArray andBits = andMask(image);

        QByteArray body;
        // The height counts both bitmaps, the colours and the mask below them.
        putInfoHeader(body, image.width(), image.height() * 2, bpp, int(xorBits.size() + andBits.size()), 0);
        putPalette(body, palette, paletteEntries);
        body.append(xorBits);
        body.append(andBits);
        bodies.append(body);
    }

    QByteArray out;
    putU16(out, 0);
    putU16(out, cursor ? 2 : 1);
    putU16(out, int(images.size()));
    qint64 offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        const IconImage& entry = images[i];
        putU8(out, entry.image.width() >= 256 ? 0 : entry.image.width());
        putU8(out, entry.image.height() >= 256 ? 0 : entry.image.height());
        putU8(out, entry.bitsPerPixel == 4 ? 16 : 0);
        putU8(out, 0);
        if (cursor) {
            putU16(out, entry.hotSpot.x());
            putU16(out, entry.hotSpot.y());
        } else {
            putU16(out, 1);
            putU16(out, entry.bitsPerPixel);
        }
        putU32(out, bodies[i].size());
        putU32(out, offset);
        offset += bodies[i].size();
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

} // namespace krambol::tools
