#include "cursors/PointerPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

// Stand-in until the reader of our own lands: Qt's icon plugin, no hot spots.
namespace krambol::cursors {

QPoint iconHotSpot(QSize size)
{
    return QPoint(size.width() / 2, size.height() / 2);
}

PointerPicture readPointerPicture(QByteArrayView data, QString* error)
{
    QByteArray bytes = data.toByteArray();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ico");
    PointerPicture picture;
    picture.image = reader.read().convertToFormat(QImage::Format_ARGB32);
    if (picture.image.isNull()) {
        if (error)
            *error = QStringLiteral("Файл не является значком.");
        return {};
    }
    picture.hotSpot = iconHotSpot(picture.image.size());
    picture.bitsPerPixel = 8;
    return picture;
}

PointerPicture loadPointerPicture(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return readPointerPicture(file.readAll(), error);
}

QCursor toCursor(const PointerPicture& picture)
{
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(picture.image), picture.hotSpot.x(), picture.hotSpot.y());
}

} // namespace krambol::cursors
