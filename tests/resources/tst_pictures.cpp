// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the embedded pictures byte by byte, with a header reader of its own, so that a wrong
// depth or size cannot hide behind a lenient decoder.

#include <QFile>
#include <QImage>
#include <QTest>

namespace {

enum class Kind { Bitmap, Icon, Cursor, Jpeg, Png };

quint32 u16(const QByteArray& d, qsizetype at)
{
    return quint8(d[at]) | quint32(quint8(d[at + 1])) << 8;
}
quint32 u32(const QByteArray& d, qsizetype at)
{
    return u16(d, at) | u16(d, at + 2) << 16;
}
quint32 be16(const QByteArray& d, qsizetype at)
{
    return quint32(quint8(d[at])) << 8 | quint8(d[at + 1]);
}
quint32 be32(const QByteArray& d, qsizetype at)
{
    return be16(d, at) << 16 | be16(d, at + 2);
}

struct Header
{
    Kind kind = Kind::Bitmap;
    QSize size;
    int depth = 0;
    QPoint hotSpot;
    int entries = 0;
    int paletteColours = 0;    // colours the file's palette declares (0: none)
    qsizetype dibOffset = 0;   // icons: where the first image's bitmap header starts
};

// Reads just enough of each format to know what the file claims to be.
Header readHeader(const QByteArray& d)
{
    Header h;
    if (d.startsWith("BM")) {
        h.kind = Kind::Bitmap;
        h.size = QSize(int(u32(d, 18)), int(u32(d, 22)));
        h.depth = int(u16(d, 28));
        h.paletteColours = int(u32(d, 46));
    } else if (d.startsWith("\x89PNG")) {
        h.kind = Kind::Png;
        h.size = QSize(int(be32(d, 16)), int(be32(d, 20)));
        h.depth = quint8(d[24]) * (quint8(d[25]) == 6 ? 4 : 3);
    } else if (d.startsWith("\xff\xd8")) {
        h.kind = Kind::Jpeg;
        qsizetype at = 2;
        while (at + 9 < d.size() && quint8(d[at]) == 0xff) {
            const int marker = quint8(d[at + 1]);
            if (marker >= 0xc0 && marker <= 0xc3) {
                h.size = QSize(int(be16(d, at + 7)), int(be16(d, at + 5)));
                h.depth = quint8(d[at + 4]) * quint8(d[at + 9]);
                break;
            }
            at += 2 + be16(d, at + 2);
        }
    } else if (d.size() >= 22 && u16(d, 0) == 0 && (u16(d, 2) == 1 || u16(d, 2) == 2)) {
        h.kind = u16(d, 2) == 1 ? Kind::Icon : Kind::Cursor;
        h.entries = int(u16(d, 4));
        const int w = quint8(d[6]), hgt = quint8(d[7]);
        h.size = QSize(w ? w : 256, hgt ? hgt : 256);
        h.paletteColours = quint8(d[8]);
        if (h.kind == Kind::Cursor)
            h.hotSpot = QPoint(int(u16(d, 10)), int(u16(d, 12)));
        h.dibOffset = u32(d, 18);
        h.depth = int(u16(d, h.dibOffset + 14));
    }
    return h;
}

QByteArray resource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Whether the AND mask of an icon's first image leaves pixel p transparent.
bool maskedOut(const QByteArray& d, const Header& h, QPoint p)
{
    const int w = h.size.width(), hgt = h.size.height();
    const qsizetype palette = h.depth <= 8 ? (qsizetype(1) << h.depth) * 4 : 0;
    const qsizetype xorStride = ((w * h.depth + 31) / 32) * 4;
    const qsizetype andStride = ((w + 31) / 32) * 4;
    const qsizetype mask = h.dibOffset + 40 + palette + xorStride * hgt;
    const qsizetype row = mask + andStride * (hgt - 1 - p.y());
    return quint8(d[row + p.x() / 8]) & (0x80 >> (p.x() % 8));
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class PicturesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachPictureHasItsKindSizeAndDepth_data();
    void eachPictureHasItsKindSizeAndDepth();
    void eachPictureDecodes_data() { eachPictureHasItsKindSizeAndDepth_data(); }
    void eachPictureDecodes();
    void cursorsShowTheirHotSpotPixel_data();
    void cursorsShowTheirHotSpotPixel();
    void iconsAreTransparentAtTheCorner_data();
    void iconsAreTransparentAtTheCorner();
    void lookHoldersAreSolid_data();
    void lookHoldersAreSolid();
    void toolbarPicturesStandOnSilver_data();
    void toolbarPicturesStandOnSilver();
    void editSwitchStartsWithTheLockedPicture();
    void samePlacedPicturesDiffer_data();
    void samePlacedPicturesDiffer();
    void largerIconsAreRenderingsOfTheWindowIcon_data();
    void largerIconsAreRenderingsOfTheWindowIcon();
};

void PicturesTest::eachPictureHasItsKindSizeAndDepth_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QPoint>("hotSpot");

    const QPoint none;
    QTest::newRow("window icon") << ":/form1/krambol.ico" << Kind::Icon << QSize(48, 48) << 8 << none;
    QTest::newRow("field pointer") << ":/form1/field.ico" << Kind::Icon << QSize(32, 32) << 8 << none;
    QTest::newRow("isp") << ":/form1/isp.bmp" << Kind::Bitmap << QSize(21, 20) << 24 << none;
    QTest::newRow("picture1") << ":/form1/picture1.bmp" << Kind::Bitmap << QSize(21, 20) << 24 << none;
    QTest::newRow("picture2") << ":/form1/picture2.bmp" << Kind::Bitmap << QSize(21, 20) << 24 << none;
    QTest::newRow("picture3") << ":/form1/picture3.bmp" << Kind::Bitmap << QSize(139, 63) << 24 << none;
    QTest::newRow("picture4") << ":/form1/picture4.bmp" << Kind::Bitmap << QSize(139, 63) << 24 << none;
    QTest::newRow("picture5") << ":/form1/picture5.bmp" << Kind::Bitmap << QSize(217, 77) << 24 << none;
    QTest::newRow("toolbar pr") << ":/form1/toolbar/pr.bmp" << Kind::Bitmap << QSize(66, 66) << 24 << none;
    for (const char* key : {"past", "cut", "copy", "open", "save"})
        QTest::addRow("toolbar %s", key) << QStringLiteral(":/form1/toolbar/%1.bmp").arg(QLatin1String(key))
                                         << Kind::Bitmap << QSize(20, 20) << 4 << none;
    QTest::newRow("toolbar print") << ":/form1/toolbar/print.bmp" << Kind::Bitmap << QSize(75, 65) << 24 << none;
    QTest::newRow("toolbar end") << ":/form1/toolbar/end.bmp" << Kind::Bitmap << QSize(63, 62) << 24 << none;
    QTest::newRow("image1") << ":/cursors/image1.ico" << Kind::Icon << QSize(32, 32) << 8 << none;
    QTest::newRow("image2") << ":/cursors/image2.ico" << Kind::Icon << QSize(32, 32) << 24 << none;
    QTest::newRow("image3") << ":/cursors/image3.cur" << Kind::Cursor << QSize(32, 32) << 8 << QPoint(0, 0);
    QTest::newRow("image4") << ":/cursors/image4.ico" << Kind::Icon << QSize(32, 32) << 8 << none;
    QTest::newRow("image5") << ":/cursors/image5.cur" << Kind::Cursor << QSize(32, 32) << 4 << QPoint(12, 1);
    QTest::newRow("image7") << ":/cursors/image7.cur" << Kind::Cursor << QSize(32, 32) << 8 << QPoint(0, 0);
    QTest::newRow("image8") << ":/cursors/image8.ico" << Kind::Icon << QSize(64, 64) << 8 << none;
    QTest::newRow("image9") << ":/cursors/image9.ico" << Kind::Icon << QSize(32, 32) << 8 << none;
    // A colour JPEG: three components of eight bits.
    QTest::newRow("splash and about") << ":/windows/picture.jpg" << Kind::Jpeg << QSize(974, 605) << 24 << none;
    QTest::newRow("tip heading") << ":/windows/tip.ico" << Kind::Icon << QSize(32, 32) << 4 << none;
}

void PicturesTest::eachPictureHasItsKindSizeAndDepth()
{
    QFETCH(QString, path);
    QFETCH(Kind, kind);
    QFETCH(QSize, size);
    QFETCH(int, depth);
    QFETCH(QPoint, hotSpot);

    const QByteArray data = resource(path);
    QVERIFY2(data.size() > 64, qPrintable(path));
    const Header h = readHeader(data);
    QCOMPARE(h.kind, kind);
    QCOMPARE(h.size, size);
    QCOMPARE(h.depth, depth);
    if (kind == Kind::Icon || kind == Kind::Cursor) {
        QCOMPARE(h.entries, 1);
        QCOMPARE(h.hotSpot, hotSpot);
        // The image's own header agrees with the directory: same width, twice the height
        // (colour bitmap and mask).
        QCOMPARE(int(u32(data, h.dibOffset + 4)), size.width());
        QCOMPARE(int(u32(data, h.dibOffset + 8)), size.height() * 2);
        QCOMPARE(h.paletteColours, depth == 4 ? 16 : 0);
        if (kind == Kind::Icon) {
            QCOMPARE(int(u16(data, 10)), 1);       // planes
            QCOMPARE(int(u16(data, 12)), depth);   // bits per pixel
        }
    }
    if (kind == Kind::Bitmap && depth == 4)
        QCOMPARE(h.paletteColours, 16);
}

void PicturesTest::eachPictureDecodes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QImage image;
    QVERIFY(image.loadFromData(resource(path)));
    QCOMPARE(image.size(), size);
}

void PicturesTest::cursorsShowTheirHotSpotPixel_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("image3") << ":/cursors/image3.cur";
    QTest::newRow("image5") << ":/cursors/image5.cur";
    QTest::newRow("image7") << ":/cursors/image7.cur";
}

// The point that clicks must be part of the drawing (the arrow's tip, the fingertip).
void PicturesTest::cursorsShowTheirHotSpotPixel()
{
    QFETCH(QString, path);
    const QByteArray data = resource(path);
    const Header h = readHeader(data);
    QVERIFY(!maskedOut(data, h, h.hotSpot));
}

void PicturesTest::iconsAreTransparentAtTheCorner_data()
{
    QTest::addColumn<QString>("path");
    for (const char* path : {":/form1/krambol.ico", ":/form1/field.ico", ":/cursors/image1.ico", ":/cursors/image2.ico",
                             ":/cursors/image4.ico", ":/cursors/image8.ico", ":/cursors/image9.ico", ":/windows/tip.ico"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

void PicturesTest::iconsAreTransparentAtTheCorner()
{
    QFETCH(QString, path);
    const QByteArray data = resource(path);
    const Header h = readHeader(data);
    QVERIFY(maskedOut(data, h, QPoint(0, 0)));
    QVERIFY(maskedOut(data, h, QPoint(h.size.width() - 1, 0)));
}

void PicturesTest::lookHoldersAreSolid_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("hover look") << ":/form1/picture3.bmp" << QColor(0, 255, 0);
    QTest::newRow("exit pressed look") << ":/form1/picture4.bmp" << QColor(255, 0, 0);
    QTest::newRow("pressed look") << ":/form1/picture5.bmp" << QColor(255, 255, 0);
}

void PicturesTest::lookHoldersAreSolid()
{
    QFETCH(QString, path);
    QFETCH(QColor, colour);
    const QImage image(path);
    QVERIFY(!image.isNull());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(image.pixelColor(x, y).name())));
}

void PicturesTest::toolbarPicturesStandOnSilver_data()
{
    QTest::addColumn<QString>("path");
    for (const char* key : {"pr", "past", "cut", "copy", "open", "save", "print", "end"})
        QTest::newRow(key) << QStringLiteral(":/form1/toolbar/%1.bmp").arg(QLatin1String(key));
}

// The toolbar makes silver transparent: the ground must be exactly silver, and the picture
// must not be all ground.
void PicturesTest::toolbarPicturesStandOnSilver()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY(!image.isNull());
    const QRgb silver = qRgb(192, 192, 192);
    QCOMPARE(image.pixel(0, 0), silver);
    QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), silver);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += image.pixel(x, y) != silver;
    QVERIFY(drawn > image.width() * image.height() / 5);
}

void PicturesTest::editSwitchStartsWithTheLockedPicture()
{
    QCOMPARE(QImage(":/form1/isp.bmp"), QImage(":/form1/picture1.bmp"));
}

void PicturesTest::samePlacedPicturesDiffer_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("edit pictures") << ":/form1/picture1.bmp" << ":/form1/picture2.bmp";
    QTest::newRow("the two arrow cursors") << ":/cursors/image3.cur" << ":/cursors/image7.cur";
}

void PicturesTest::samePlacedPicturesDiffer()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QVERIFY(resource(a) != resource(b));
    QVERIFY(QImage(a) != QImage(b));
}

void PicturesTest::largerIconsAreRenderingsOfTheWindowIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("64") << 64;
    QTest::newRow("128") << 128;
    QTest::newRow("256") << 256;
}

void PicturesTest::largerIconsAreRenderingsOfTheWindowIcon()
{
    QFETCH(int, size);
    const QImage large(QStringLiteral(":/icons/hicolor/%1x%1/apps/krambol.png").arg(size));
    QCOMPARE(large.size(), QSize(size, size));
    QVERIFY(large.hasAlphaChannel());
    // Scaled down to the window icon's size, the rendering matches it closely.
    const QImage small = QImage(":/form1/krambol.ico").convertToFormat(QImage::Format_ARGB32);
    const QImage scaled = large.scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32);
    int close = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const QRgb p = small.pixel(x, y), q = scaled.pixel(x, y);
            if (qAlpha(p) < 128 || qAlpha(q) < 128) {
                close += (qAlpha(p) < 128) == (qAlpha(q) < 128);
                continue;
            }
            close += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) < 90;
        }
    QVERIFY2(close > 48 * 48 * 9 / 10, qPrintable(QString::number(close)));
}

QTEST_GUILESS_MAIN(PicturesTest)
#include "tst_pictures.moc"
