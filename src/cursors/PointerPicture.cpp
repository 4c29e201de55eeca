// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/PointerPicture.h"

#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <optional>

// Icon and cursor files: a directory of entries, each a bitmap (BITMAPINFOHEADER, colour bits,
// then a one-bit AND mask, rows bottom-up, the header counting both in its height) or a whole
// PNG file. Every offset and size comes from the file, so each one is checked against the bytes
// at hand before it is used, and nothing is allocated from a header value that was not checked.
namespace krambol::cursors {

namespace {

constexpr int kMaxSide = 256;                      // the largest image an icon entry can describe
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024; // far above any real icon file
constexpr qint64 kDirectoryBytes = 6;
constexpr qint64 kEntryBytes = 16;
constexpr qint64 kInfoHeaderBytes = 40;

enum class Failure {
    Empty,
    OtherFormat,
    NoImages,
    Truncated,
    EntryOutsideFile,
    BadHeader,
    ZeroSize,
    TooLarge,
    BadPalette,
    UnsupportedDepth,
    Compressed,
    BadPng,
    FileTooLarge,
};

QString message(Failure failure, const QString& detail = {})
{
    switch (failure) {
    case Failure::Empty:
        return QStringLiteral("Файл пуст: в нём нет значка.");
    case Failure::OtherFormat:
        return detail.isEmpty()
            ? QStringLiteral("Файл не является значком (.ico) или курсором (.cur).")
            : QStringLiteral("Файл не является значком (.ico) или курсором (.cur): это рисунок %1.").arg(detail);
    case Failure::NoImages:
        return QStringLiteral("В файле значка нет ни одного изображения.");
    case Failure::Truncated:
        return QStringLiteral("Файл значка обрезан: данные изображения неполны.");
    case Failure::EntryOutsideFile:
        return QStringLiteral("Файл значка повреждён: изображение выходит за пределы файла.");
    case Failure::BadHeader:
        return QStringLiteral("Файл значка повреждён: неверный заголовок изображения.");
    case Failure::ZeroSize:
        return QStringLiteral("Изображение в файле значка имеет нулевой размер.");
    case Failure::TooLarge:
        return QStringLiteral("Изображение в файле значка слишком велико (больше 256 × 256 точек).");
    case Failure::BadPalette:
        return QStringLiteral("Файл значка повреждён: неверная палитра.");
    case Failure::UnsupportedDepth:
        return QStringLiteral("Глубина цвета изображения в файле значка не поддерживается.");
    case Failure::Compressed:
        return QStringLiteral("Сжатые изображения в файле значка не поддерживаются.");
    case Failure::FileTooLarge:
        return QStringLiteral("Файл слишком велик для значка.");
    case Failure::BadPng:
        return QStringLiteral("Файл значка повреждён: не удаётся прочесть вложенный рисунок PNG.");
    }
    return {};
}

// Little-endian reads from a view whose bounds the caller has checked with has().
class Bytes
{
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}

    qint64 size() const { return m_data.size(); }
    bool has(qint64 at, qint64 count) const { return at >= 0 && count >= 0 && at <= size() && count <= size() - at; }
    quint8 u8(qint64 at) const { return quint8(m_data[at]); }
    quint16 u16(qint64 at) const { return quint16(u8(at) | u8(at + 1) << 8); }
    quint32 u32(qint64 at) const { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; }
    qint32 i32(qint64 at) const { return qint32(u32(at)); }
    quint32 be32(qint64 at) const
    {
        return quint32(u8(at)) << 24 | quint32(u8(at + 1)) << 16 | quint32(u8(at + 2)) << 8 | u8(at + 3);
    }
    Bytes slice(qint64 at, qint64 count) const { return Bytes(m_data.sliced(at, count)); }
    QByteArrayView view() const { return m_data; }

private:
    QByteArrayView m_data;
};

bool isPng(const Bytes& b)
{
    return b.has(0, 8) && b.view().first(8) == QByteArrayView("\x89PNG\r\n\x1a\n", 8);
}

// The name of a well-known other picture format the bytes start with, for the message.
QString otherFormatName(const Bytes& b)
{
    const QByteArrayView v = b.view();
    if (isPng(b))
        return QStringLiteral("PNG");
    if (v.startsWith("BM"))
        return QStringLiteral("BMP");
    if (v.startsWith("\xff\xd8\xff"))
        return QStringLiteral("JPEG");
    if (v.startsWith("GIF8"))
        return QStringLiteral("GIF");
    return {};
}

struct Entry
{
    QSize size;
    int bitsPerPixel = 0;
    QPoint hotSpot;
    Bytes data{QByteArrayView()};
};

struct Decoded
{
    std::optional<Failure> failure;
    QString detail;
    QImage image;
};

Decoded fail(Failure failure, const QString& detail = {})
{
    return Decoded{failure, detail, {}};
}

std::optional<Failure> checkSize(qint64 width, qint64 height)
{
    if (width == 0 || height == 0)
        return Failure::ZeroSize;
    if (width < 0 || height < 0)
        return Failure::BadHeader;
    if (width > kMaxSide || height > kMaxSide)
        return Failure::TooLarge;
    return std::nullopt;
}

// Reads an entry's size and depth without decoding its pixels, so the best entry can be chosen.
std::optional<Failure> probe(Entry& entry)
{
    const Bytes& b = entry.data;
    if (isPng(b)) {
        // Signature, then the IHDR chunk: length, "IHDR", width, height, bit depth, colour type.
        if (!b.has(0, 26))
            return Failure::Truncated;
        if (b.view().sliced(12, 4) != QByteArrayView("IHDR"))
            return Failure::BadPng;
        const qint64 width = b.be32(16), height = b.be32(20);
        if (auto failure = checkSize(width, height))
            return failure;
        const int depth = b.u8(24);
        const int channels = [type = b.u8(25)] {
            switch (type) {
            case 2: return 3;
            case 4: return 2;
            case 6: return 4;
            default: return 1;
            }
        }();
        entry.size = QSize(int(width), int(height));
        entry.bitsPerPixel = depth * channels;
        return std::nullopt;
    }
    if (!b.has(0, kInfoHeaderBytes))
        return Failure::Truncated;
    const quint32 headerBytes = b.u32(0);
    if (headerBytes < kInfoHeaderBytes || !b.has(0, headerBytes))
        return headerBytes < kInfoHeaderBytes ? Failure::BadHeader : Failure::Truncated;
    const qint64 width = b.i32(4);
    const qint64 doubledHeight = b.i32(8);
    if (doubledHeight < 0)
        return Failure::BadHeader;   // top-down rows have no place in an icon
    if (auto failure = checkSize(width, doubledHeight / 2))
        return failure;
    const int depth = b.u16(14);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)
        return Failure::UnsupportedDepth;
    const quint32 compression = b.u32(16);
    if (compression != 0)
        return Failure::Compressed;
    entry.size = QSize(int(width), int(doubledHeight / 2));
    entry.bitsPerPixel = depth;
    return std::nullopt;
}

Decoded decodePng(const Entry& entry)
{
    QImage image = QImage::fromData(entry.data.view(), "PNG");
    if (image.isNull() || image.size() != entry.size)
        return fail(Failure::BadPng);
    return Decoded{std::nullopt, {}, image.convertToFormat(QImage::Format_ARGB32)};
}

Decoded decodeBitmap(const Entry& entry)
{
    const Bytes& b = entry.data;
    const int width = entry.size.width();
    const int height = entry.size.height();
    const int depth = entry.bitsPerPixel;
    const qint64 headerBytes = b.u32(0);

    // The palette: as many colours as the header says, at most what the depth can index.
    qint64 colours = b.u32(32);
    const qint64 indexable = depth <= 8 ? qint64(1) << depth : 0;
    if (depth <= 8 && colours == 0)
        colours = indexable;
    if ((depth <= 8 && colours > indexable) || (depth > 8 && colours > 256))
        return fail(Failure::BadPalette);
    const qint64 paletteAt = headerBytes;
    if (!b.has(paletteAt, colours * 4))
        return fail(Failure::Truncated);
    QList<QRgb> palette;
    if (depth <= 8) {
        palette.reserve(colours);
        for (qint64 i = 0; i < colours; ++i) {
            const qint64 at = paletteAt + i * 4;
            palette.append(qRgb(b.u8(at + 2), b.u8(at + 1), b.u8(at)));
        }
    }

    const qint64 colourStride = ((qint64(width) * depth + 31) / 32) * 4;
    const qint64 maskStride = ((qint64(width) + 31) / 32) * 4;
    const qint64 colourAt = paletteAt + colours * 4;
    const qint64 maskAt = colourAt + colourStride * height;
    if (!b.has(colourAt, colourStride * height))
        return fail(Failure::Truncated);
    // 32-bit images carry alpha and may leave the mask out; every other depth needs it.
    const bool hasMask = b.has(maskAt, maskStride * height);
    if (!hasMask && depth != 32)
        return fail(Failure::Truncated);

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return fail(Failure::TooLarge);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qint64 row = colourAt + colourStride * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb pixel = 0;
            if (depth <= 8) {
                const qint64 bit = qint64(x) * depth;
                const int shift = 8 - depth - int(bit % 8);
                const int index = (b.u8(row + bit / 8) >> shift) & ((1 << depth) - 1);
                // An index past the palette shows black rather than failing the whole picture.
                pixel = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
            } else if (depth == 24) {
                const qint64 at = row + qint64(x) * 3;
                pixel = qRgb(b.u8(at + 2), b.u8(at + 1), b.u8(at));
            } else {
                const qint64 at = row + qint64(x) * 4;
                pixel = qRgba(b.u8(at + 2), b.u8(at + 1), b.u8(at), b.u8(at + 3));
                anyAlpha = anyAlpha || b.u8(at + 3) != 0;
            }
            out[x] = pixel;
        }
    }

    // The alpha a 32-bit image carries wins; otherwise the mask decides (a set bit shows the
    // screen through).
    const bool useMask = hasMask && !(depth == 32 && anyAlpha);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const qint64 row = maskAt + maskStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (useMask) {
                const bool clear = b.u8(row + x / 8) & (0x80 >> (x % 8));
                out[x] = clear ? 0 : (out[x] | 0xff000000u);
            } else if (depth == 32) {
                out[x] = anyAlpha ? out[x] : (out[x] | 0xff000000u);
            }
        }
    }
    return Decoded{std::nullopt, {}, image};
}

PointerPictureRead failed(Failure failure, const QString& detail = {})
{
    return {{}, message(failure, detail)};
}

} // namespace

QPoint iconHotSpot(QSize size)
{
    // An icon has no point of its own; the desktop centres an icon made into a pointer.
    return QPoint(size.width() / 2, size.height() / 2);
}

PointerPictureRead readPointerPicture(QByteArrayView data)
{
    const Bytes file(data);
    if (file.size() == 0)
        return failed(Failure::Empty);
    if (file.size() > kMaxFileBytes)
        return failed(Failure::FileTooLarge);
    const QString other = otherFormatName(file);
    if (!other.isEmpty())
        return failed(Failure::OtherFormat, other);
    if (!file.has(0, kDirectoryBytes)) {
        // Too short for a directory: a cut icon if what there is looks like one.
        const bool iconStart = file.u8(0) == 0 && (file.size() < 2 || file.u8(1) == 0);
        return failed(iconStart ? Failure::Truncated : Failure::OtherFormat);
    }
    const quint16 type = file.u16(2);
    if (file.u16(0) != 0 || (type != 1 && type != 2))
        return failed(Failure::OtherFormat);
    const bool isCursor = type == 2;
    const qint64 count = file.u16(4);
    if (count == 0)
        return failed(Failure::NoImages);
    if (!file.has(kDirectoryBytes, count * kEntryBytes))
        return failed(Failure::Truncated);

    // Probe every entry; keep the largest, then the deepest. Broken entries are passed over
    // while a good one remains; with none, the first entry's fault is told.
    std::optional<Entry> best;
    std::optional<Failure> firstFailure;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = kDirectoryBytes + i * kEntryBytes;
        const qint64 bytes = file.u32(at + 8);
        const qint64 offset = file.u32(at + 12);
        std::optional<Failure> failure;
        Entry entry;
        if (offset < kDirectoryBytes + count * kEntryBytes || offset >= file.size())
            failure = Failure::EntryOutsideFile;
        else if (!file.has(offset, bytes))
            failure = Failure::Truncated;
        else {
            entry.data = file.slice(offset, bytes);
            if (isCursor)
                entry.hotSpot = QPoint(file.u16(at + 4), file.u16(at + 6));
            failure = probe(entry);
        }
        if (failure) {
            if (!firstFailure)
                firstFailure = failure;
            continue;
        }
        const auto area = [](const Entry& e) { return qint64(e.size.width()) * e.size.height(); };
        if (!best || area(entry) > area(*best)
            || (area(entry) == area(*best) && entry.bitsPerPixel > best->bitsPerPixel))
            best = entry;
    }
    if (!best)
        return failed(*firstFailure);

    const Decoded decoded = isPng(best->data) ? decodePng(*best) : decodeBitmap(*best);
    if (decoded.failure)
        return failed(*decoded.failure, decoded.detail);

    PointerPicture picture;
    picture.image = decoded.image;
    picture.kind = isCursor ? PointerPicture::Kind::Cursor : PointerPicture::Kind::Icon;
    picture.bitsPerPixel = best->bitsPerPixel;
    if (isCursor) {
        // A hot spot off the image would put the clicking point where nothing is drawn.
        picture.hotSpot = QPoint(qMin(best->hotSpot.x(), best->size.width() - 1),
                                 qMin(best->hotSpot.y(), best->size.height() - 1));
    } else {
        picture.hotSpot = iconHotSpot(best->size);
    }
    return {picture, std::nullopt};
}

PointerPictureRead loadPointerPicture(const QString& path)
{
    const auto fail = [](const QString& reason) { return PointerPictureRead{{}, reason}; };
    if (path.isEmpty())
        return fail(QStringLiteral("Не указан файл значка."));
    // The window's own pictures come from the program's resources; everything else is a file on disk,
    // read only when it is a regular file and never past the size an icon can have.
    if (path.startsWith(u':')) {
        QFile resourceFile(path);
        if (!resourceFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Файл «%1» не найден.").arg(QFileInfo(path).fileName()));
        return readPointerPicture(resourceFile.readAll());
    }
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return fail(QStringLiteral("Файл «%1» не найден.").arg(QFileInfo(path).fileName()));
    const platform::WholeFileRead file =
        platform::readRegularFile(path, kMaxFileBytes, message(Failure::FileTooLarge));
    if (file.error)
        return fail(*file.error);
    return readPointerPicture(file.bytes);
}

QCursor toCursor(const PointerPicture& picture)
{
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(picture.image), picture.hotSpot.x(), picture.hotSpot.y());
}

} // namespace krambol::cursors
