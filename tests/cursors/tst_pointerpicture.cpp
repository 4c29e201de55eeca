// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/PointerPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using krambol::cursors::iconHotSpot;
using krambol::cursors::loadPointerPicture;
using krambol::cursors::PointerPictureRead;
using krambol::cursors::PointerPicture;
using krambol::cursors::readPointerPicture;
using krambol::cursors::toCursor;

Q_DECLARE_METATYPE(PointerPicture::Kind)

namespace {

void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}
void put32(QByteArray& out, qint64 v)
{
    put16(out, int(v & 0xffff));
    put16(out, int((v >> 16) & 0xffff));
}
void set16(QByteArray& d, int at, int v)
{
    d[at] = char(v & 0xff);
    d[at + 1] = char((v >> 8) & 0xff);
}
void set32(QByteArray& d, int at, qint64 v)
{
    set16(d, at, int(v & 0xffff));
    set16(d, at + 2, int((v >> 16) & 0xffff));
}

// One image of a hand-made icon file: a bitmap entry whose colour of pixel (x, y) is given by
// pixel(); transparent() says which pixels the AND mask clears. A png entry is stored as is.
struct TestEntry
{
    int width = 8;
    int height = 8;
    int bitsPerPixel = 8;
    std::function<QRgb(int, int)> pixel = [](int, int) { return qRgb(200, 40, 40); };
    std::function<bool(int, int)> transparent = [](int, int) { return false; };
    QPoint hotSpot;
    bool withMask = true;
    QByteArray png;
};

QByteArray bitmapEntry(const TestEntry& e)
{
    QByteArray out;
    const int stride = ((e.width * e.bitsPerPixel + 31) / 32) * 4;
    const int maskStride = ((e.width + 31) / 32) * 4;
    // The palette is made of the colours the pixels use, in order of first use.
    QList<QRgb> palette;
    if (e.bitsPerPixel <= 8) {
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x)
                if (!palette.contains(e.pixel(x, y)))
                    palette.append(e.pixel(x, y));
    }
    put32(out, 40);
    put32(out, e.width);
    put32(out, e.height * 2);
    put16(out, 1);
    put16(out, e.bitsPerPixel);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, e.bitsPerPixel <= 8 ? qint64(1) << e.bitsPerPixel : 0);
    put32(out, 0);
    if (e.bitsPerPixel <= 8) {
        for (int i = 0; i < (1 << e.bitsPerPixel); ++i) {
            const QRgb c = i < palette.size() ? palette[i] : 0;
            out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
        }
    }
    for (int y = e.height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < e.width; ++x) {
            const QRgb c = e.pixel(x, y);
            if (e.bitsPerPixel <= 8) {
                const int index = int(palette.indexOf(c));
                const int bit = x * e.bitsPerPixel;
                row[bit / 8] = char(quint8(row[bit / 8]) | index << (8 - e.bitsPerPixel - bit % 8));
            } else {
                const int at = x * e.bitsPerPixel / 8;
                row[at] = char(qBlue(c));
                row[at + 1] = char(qGreen(c));
                row[at + 2] = char(qRed(c));
                if (e.bitsPerPixel == 32)
                    row[at + 3] = char(qAlpha(c));
            }
        }
        out.append(row);
    }
    if (e.withMask) {
        for (int y = e.height - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < e.width; ++x)
                if (e.transparent(x, y))
                    row[x / 8] = char(quint8(row[x / 8]) | 0x80 >> (x % 8));
            out.append(row);
        }
    }
    return out;
}

QByteArray iconFile(const QList<TestEntry>& entries, int type = 1)
{
    QList<QByteArray> bodies;
    for (const TestEntry& e : entries)
        bodies.append(e.png.isEmpty() ? bitmapEntry(e) : e.png);
    QByteArray out;
    put16(out, 0);
    put16(out, type);
    put16(out, int(entries.size()));
    qint64 offset = 6 + 16 * entries.size();
    for (int i = 0; i < entries.size(); ++i) {
        const TestEntry& e = entries[i];
        out.append(char(e.width & 0xff)).append(char(e.height & 0xff)).append('\0').append('\0');
        put16(out, type == 2 ? e.hotSpot.x() : 1);
        put16(out, type == 2 ? e.hotSpot.y() : e.bitsPerPixel);
        put32(out, bodies[i].size());
        put32(out, offset);
        offset += bodies[i].size();
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}

QByteArray resource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pngOf(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

} // namespace

class PointerPictureTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEachBuiltInPicture_data();
    void readsEachBuiltInPicture();
    void decodesTheSamePixelsAsAnIndependentDecoder_data();
    void decodesTheSamePixelsAsAnIndependentDecoder();
    void decodesEveryBitmapDepth_data();
    void decodesEveryBitmapDepth();
    void thirtyTwoBitAlphaWinsOverTheMask();
    void thirtyTwoBitImagesMayLeaveTheMaskOut();
    void readsPngEntries();
    void picksTheLargestThenTheDeepestEntry();
    void passesOverABrokenEntryWhenAGoodOneRemains();
    void iconsGetTheCentreAsHotSpot_data();
    void iconsGetTheCentreAsHotSpot();
    void keepsACursorHotSpotOnTheImage();
    void cursorCarriesTheHotSpot();
    void emptyPictureGivesTheArrow();
    void rejectsBadFilesWithAReason_data();
    void rejectsBadFilesWithAReason();
    void loadingTellsAMissingFile();
    void loadsFromAFileOnDisk();
};

void PointerPictureTest::readsEachBuiltInPicture_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<PointerPicture::Kind>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QPoint>("hotSpot");
    using K = PointerPicture::Kind;
    QTest::newRow("image1") << ":/cursors/image1.ico" << K::Icon << QSize(32, 32) << 8 << QPoint(16, 16);
    QTest::newRow("image2") << ":/cursors/image2.ico" << K::Icon << QSize(32, 32) << 24 << QPoint(16, 16);
    QTest::newRow("image3") << ":/cursors/image3.cur" << K::Cursor << QSize(32, 32) << 8 << QPoint(0, 0);
    QTest::newRow("image4") << ":/cursors/image4.ico" << K::Icon << QSize(32, 32) << 8 << QPoint(16, 16);
    QTest::newRow("image5") << ":/cursors/image5.cur" << K::Cursor << QSize(32, 32) << 4 << QPoint(12, 1);
    QTest::newRow("image7") << ":/cursors/image7.cur" << K::Cursor << QSize(32, 32) << 8 << QPoint(0, 0);
    QTest::newRow("image8") << ":/cursors/image8.ico" << K::Icon << QSize(64, 64) << 8 << QPoint(32, 32);
    QTest::newRow("image9") << ":/cursors/image9.ico" << K::Icon << QSize(32, 32) << 8 << QPoint(16, 16);
    QTest::newRow("field pointer") << ":/form1/field.ico" << K::Icon << QSize(32, 32) << 8 << QPoint(16, 16);
    QTest::newRow("window icon") << ":/form1/krambol.ico" << K::Icon << QSize(48, 48) << 8 << QPoint(24, 24);
    QTest::newRow("tip heading") << ":/windows/tip.ico" << K::Icon << QSize(32, 32) << 4 << QPoint(16, 16);
}

void PointerPictureTest::readsEachBuiltInPicture()
{
    QFETCH(QString, path);
    QFETCH(PointerPicture::Kind, kind);
    QFETCH(QSize, size);
    QFETCH(int, depth);
    QFETCH(QPoint, hotSpot);

    const auto [picture, error] = loadPointerPicture(path);
    QVERIFY2(!picture.isNull(), qPrintable(error.value_or(QString())));
    QVERIFY(!error);
    QCOMPARE(picture.kind, kind);
    QCOMPARE(picture.image.size(), size);
    QCOMPARE(picture.image.format(), QImage::Format_ARGB32);
    QCOMPARE(picture.bitsPerPixel, depth);
    QCOMPARE(picture.hotSpot, hotSpot);
    // Transparent round the edge, drawn somewhere inside.
    QCOMPARE(qAlpha(picture.image.pixel(size.width() - 1, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            opaque += qAlpha(picture.image.pixel(x, y)) == 255;
    QVERIFY(opaque > size.width() * size.height() / 8);
}

void PointerPictureTest::decodesTheSamePixelsAsAnIndependentDecoder_data()
{
    QTest::addColumn<QString>("path");
    for (const char* path : {":/cursors/image1.ico", ":/cursors/image2.ico", ":/cursors/image3.cur",
                             ":/cursors/image5.cur", ":/cursors/image8.ico", ":/windows/tip.ico"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

// Qt's own icon decoder reads the colours the same way; it is the reference for the colour
// bits of every opaque pixel.
void PointerPictureTest::decodesTheSamePixelsAsAnIndependentDecoder()
{
    QFETCH(QString, path);
    const PointerPicture ours = loadPointerPicture(path).picture;
    QImageReader reader(path, "ico");
    const QImage reference = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!ours.isNull());
    QVERIFY(!reference.isNull());
    QCOMPARE(ours.image.size(), reference.size());
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x) {
            const QRgb p = ours.image.pixel(x, y);
            if (qAlpha(p) == 255 && qRgb(qRed(p), qGreen(p), qBlue(p)) != (reference.pixel(x, y) | 0xff000000u))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
        }
}

void PointerPictureTest::decodesEveryBitmapDepth_data()
{
    QTest::addColumn<int>("depth");
    QTest::newRow("1-bit") << 1;
    QTest::newRow("4-bit") << 4;
    QTest::newRow("8-bit") << 8;
    QTest::newRow("24-bit") << 24;
    QTest::newRow("32-bit") << 32;
}

// An odd width exercises the row padding; a checker pattern the bit order.
void PointerPictureTest::decodesEveryBitmapDepth()
{
    QFETCH(int, depth);
    TestEntry e;
    e.width = 13;
    e.height = 5;
    e.bitsPerPixel = depth;
    e.pixel = [depth](int x, int y) {
        // 32-bit pictures say "transparent" through their alpha, not the mask.
        if (depth == 32 && x == 12 && y == 4)
            return qRgba(0, 0, 0, 0);
        return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(10, 20, 30);
    };
    e.transparent = [](int x, int y) { return x == 12 && y == 4; };
    const PointerPicture picture = readPointerPicture(iconFile({e})).picture;
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.bitsPerPixel, depth);
    QCOMPARE(picture.image.size(), QSize(13, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) {
            if (x == 12 && y == 4) {
                QCOMPARE(qAlpha(picture.image.pixel(x, y)), 0);
                continue;
            }
            const QRgb expected = e.pixel(x, y);
            if (picture.image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
        }
}

void PointerPictureTest::thirtyTwoBitAlphaWinsOverTheMask()
{
    TestEntry e;
    e.bitsPerPixel = 32;
    e.pixel = [](int x, int) { return qRgba(0, 0, 200, x * 30); };
    e.transparent = [](int, int) { return true; };   // an old-style mask that would hide it all
    const PointerPicture picture = readPointerPicture(iconFile({e})).picture;
    QVERIFY(!picture.isNull());
    QCOMPARE(qAlpha(picture.image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(picture.image.pixel(5, 3)), 150);
}

void PointerPictureTest::thirtyTwoBitImagesMayLeaveTheMaskOut()
{
    TestEntry e;
    e.bitsPerPixel = 32;
    e.pixel = [](int, int) { return qRgb(1, 2, 3); };   // alpha 255
    e.withMask = false;
    const PointerPicture picture = readPointerPicture(iconFile({e})).picture;
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.image.pixel(4, 4), qRgb(1, 2, 3));
}

void PointerPictureTest::readsPngEntries()
{
    QImage image(48, 40, QImage::Format_ARGB32);
    image.fill(qRgba(0, 128, 0, 255));
    image.setPixel(0, 0, 0);
    TestEntry e;
    e.width = 48;
    e.height = 40;
    e.png = pngOf(image);
    const PointerPicture picture = readPointerPicture(iconFile({e})).picture;
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.image.size(), QSize(48, 40));
    QCOMPARE(picture.bitsPerPixel, 32);
    QCOMPARE(picture.image.pixel(0, 0), 0u);
    QCOMPARE(picture.image.pixel(47, 39), qRgb(0, 128, 0));
    QCOMPARE(picture.hotSpot, QPoint(24, 20));
}

void PointerPictureTest::picksTheLargestThenTheDeepestEntry()
{
    TestEntry small;
    small.width = small.height = 16;
    small.bitsPerPixel = 32;
    TestEntry large4;
    large4.width = large4.height = 32;
    large4.bitsPerPixel = 4;
    TestEntry large24 = large4;
    large24.bitsPerPixel = 24;
    large24.pixel = [](int, int) { return qRgb(0, 0, 255); };
    const PointerPicture picture = readPointerPicture(iconFile({small, large4, large24, small})).picture;
    QCOMPARE(picture.image.size(), QSize(32, 32));
    QCOMPARE(picture.bitsPerPixel, 24);
    QCOMPARE(picture.image.pixel(3, 3), qRgb(0, 0, 255));
}

void PointerPictureTest::passesOverABrokenEntryWhenAGoodOneRemains()
{
    TestEntry good;
    TestEntry broken;
    broken.width = broken.height = 32;
    QByteArray data = iconFile({broken, good});
    set32(data, 6 + 12, qint64(data.size()) + 100);   // the first entry's image lies past the end
    const PointerPicture picture = readPointerPicture(data).picture;
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.image.size(), QSize(8, 8));
}

void PointerPictureTest::iconsGetTheCentreAsHotSpot_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::newRow("32") << QSize(32, 32) << QPoint(16, 16);
    QTest::newRow("64") << QSize(64, 64) << QPoint(32, 32);
    QTest::newRow("odd") << QSize(15, 9) << QPoint(7, 4);
    QTest::newRow("one pixel") << QSize(1, 1) << QPoint(0, 0);
}

void PointerPictureTest::iconsGetTheCentreAsHotSpot()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, hotSpot);
    QCOMPARE(iconHotSpot(size), hotSpot);
}

void PointerPictureTest::keepsACursorHotSpotOnTheImage()
{
    TestEntry e;
    e.hotSpot = QPoint(40, 3);
    const PointerPicture picture = readPointerPicture(iconFile({e}, 2)).picture;
    QCOMPARE(picture.kind, PointerPicture::Kind::Cursor);
    QCOMPARE(picture.hotSpot, QPoint(7, 3));
}

void PointerPictureTest::cursorCarriesTheHotSpot()
{
    const PointerPicture hand = loadPointerPicture(":/cursors/image5.cur").picture;
    const QCursor cursor = toCursor(hand);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));

    const QCursor icon = toCursor(loadPointerPicture(":/cursors/image8.ico").picture);
    QCOMPARE(icon.hotSpot(), QPoint(32, 32));
    QCOMPARE(icon.pixmap().size(), QSize(64, 64));
}

void PointerPictureTest::emptyPictureGivesTheArrow()
{
    QCOMPARE(toCursor(PointerPicture{}).shape(), Qt::ArrowCursor);
}

void PointerPictureTest::rejectsBadFilesWithAReason_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reason");   // a part of the sentence the user sees

    const QByteArray good = resource(":/cursors/image1.ico");   // 8-bit, 32 × 32, one entry
    QVERIFY(good.size() == 2238);
    const int dib = 22;
    const auto with = [&](const std::function<void(QByteArray&)>& change) {
        QByteArray d = good;
        change(d);
        return d;
    };

    QTest::newRow("zero bytes") << QByteArray() << "пуст";
    QTest::newRow("bitmap") << resource(":/form1/picture3.bmp") << "BMP";
    QTest::newRow("png") << resource(":/icons/hicolor/64x64/apps/krambol.png") << "PNG";
    QTest::newRow("jpeg") << resource(":/windows/picture.jpg") << "JPEG";
    QTest::newRow("text") << QByteArray("Иванов------Диск |") << "не является значком";
    QTest::newRow("type 3") << with([](QByteArray& d) { set16(d, 2, 3); }) << "не является значком";
    for (int cut : {1, 4, 10, 21, 30, 61, 500, 1200, 2237})
        QTest::addRow("cut at %d", cut) << good.left(cut) << "обрезан";
    QTest::newRow("count larger than the file")
        << with([](QByteArray& d) { set16(d, 4, 5000); }) << "обрезан";
    QTest::newRow("no entries") << with([](QByteArray& d) { set16(d, 4, 0); }) << "нет ни одного";
    QTest::newRow("offset past the end")
        << with([](QByteArray& d) { set32(d, 18, 100000); }) << "за пределы файла";
    QTest::newRow("offset into the directory")
        << with([](QByteArray& d) { set32(d, 18, 2); }) << "за пределы файла";
    QTest::newRow("size past the end")
        << with([](QByteArray& d) { set32(d, 14, 0x7fffffff); }) << "обрезан";
    QTest::newRow("zero width") << with([&](QByteArray& d) { set32(d, dib + 4, 0); }) << "нулевой размер";
    QTest::newRow("zero height") << with([&](QByteArray& d) { set32(d, dib + 8, 0); }) << "нулевой размер";
    QTest::newRow("width 300") << with([&](QByteArray& d) { set32(d, dib + 4, 300); }) << "слишком велико";
    QTest::newRow("huge width") << with([&](QByteArray& d) { set32(d, dib + 4, 0x7fffffff); }) << "слишком велико";
    QTest::newRow("huge height") << with([&](QByteArray& d) { set32(d, dib + 8, 0x7ffffffe); }) << "слишком велико";
    QTest::newRow("negative width") << with([&](QByteArray& d) { set32(d, dib + 4, -32); }) << "заголовок";
    QTest::newRow("top-down rows") << with([&](QByteArray& d) { set32(d, dib + 8, -64); }) << "заголовок";
    QTest::newRow("header size 12") << with([&](QByteArray& d) { set32(d, dib, 12); }) << "заголовок";
    QTest::newRow("header size past the end")
        << with([&](QByteArray& d) { set32(d, dib, 0xfffffff0); }) << "обрезан";
    QTest::newRow("too many palette colours")
        << with([&](QByteArray& d) { set32(d, dib + 32, 257); }) << "палитра";
    QTest::newRow("16-bit") << with([&](QByteArray& d) { set16(d, dib + 14, 16); }) << "Глубина цвета";
    QTest::newRow("compressed") << with([&](QByteArray& d) { set32(d, dib + 16, 1); }) << "Сжатые";
    QTest::newRow("wider than its bytes")   // 64 × 32 needs twice the colour bytes there are
        << with([&](QByteArray& d) { set32(d, dib + 4, 64); }) << "обрезан";

    TestEntry png;
    png.png = pngOf(QImage(8, 8, QImage::Format_ARGB32));
    QByteArray brokenPng = iconFile({png});
    brokenPng.truncate(brokenPng.size() - 20);
    set32(brokenPng, 14, brokenPng.size() - 22);
    QTest::newRow("png entry cut short") << brokenPng << "PNG";
    QByteArray hugePng = iconFile({png});
    hugePng[22 + 16] = char(0x40);   // IHDR width 0x40000008
    QTest::newRow("png entry too large") << hugePng << "слишком велико";
}

void PointerPictureTest::rejectsBadFilesWithAReason()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, reason);
    const auto [picture, error] = readPointerPicture(data);
    QVERIFY(picture.isNull());
    QCOMPARE(picture.bitsPerPixel, 0);
    QVERIFY(error);
    QVERIFY2(error->contains(reason), qPrintable(*error));
    QVERIFY(error->endsWith(QLatin1Char('.')));
}

void PointerPictureTest::loadingTellsAMissingFile()
{
    QTemporaryDir dir;
    const PointerPictureRead missing = loadPointerPicture(dir.filePath("нет.ico"));
    QVERIFY(missing.picture.isNull());
    QCOMPARE(missing.error, QStringLiteral("Файл «нет.ico» не найден."));
    for (const QString& path : {QString(), dir.path()}) {
        const PointerPictureRead read = loadPointerPicture(path);
        QVERIFY(read.picture.isNull());
        QVERIFY(read.error && !read.error->isEmpty());
    }
}

void PointerPictureTest::loadsFromAFileOnDisk()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("рука.cur"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(resource(":/cursors/image5.cur"));
    file.close();
    const auto [picture, error] = loadPointerPicture(file.fileName());
    QVERIFY2(!picture.isNull(), qPrintable(error.value_or(QString())));
    QCOMPARE(picture.hotSpot, QPoint(12, 1));
}

QTEST_MAIN(PointerPictureTest)
#include "tst_pointerpicture.moc"
