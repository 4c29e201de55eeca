// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every picture the application embeds and writes it into the resources folder.
//   make_pictures RESOURCES_DIR
// The artwork is ours and drawn with QPainter only (no fonts, so the output does not depend on
// the machine's font set). Run it through the build target "pictures" and commit what it writes.

#include "PictureWriters.h"

#include <QBuffer>
#include <QConicalGradient>
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

using namespace krambol::tools;

namespace {

// The colours every picture shares.
const QColor kNavy(31, 62, 122);
const QColor kInk(16, 24, 40);
const QColor kAccent(232, 121, 43);   // the "lent out" orange
const QColor kGreen(46, 160, 67);
const QColor kSilver(192, 192, 192);  // the toolbar's transparent colour

enum class DiscTone { Silver, Gold, Blue };

QImage canvas(int width, int height, QColor fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

// A compact disc: plated face with a rainbow sheen, a clear hub and the hole. The hole is cut out
// when holeFill is transparent, otherwise painted in that colour (the toolbar's silver).
void paintDisc(QPainter& p, QPointF c, qreal r, DiscTone tone, QColor holeFill = Qt::transparent)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor inner, outer, rim;
    switch (tone) {
    case DiscTone::Silver:
        inner = QColor(240, 243, 247);
        outer = QColor(178, 186, 198);
        rim = QColor(96, 104, 118);
        break;
    case DiscTone::Gold:
        inner = QColor(255, 238, 170);
        outer = QColor(206, 160, 52);
        rim = QColor(128, 90, 20);
        break;
    case DiscTone::Blue:
        inner = QColor(170, 205, 245);
        outer = QColor(52, 98, 176);
        rim = QColor(24, 48, 96);
        break;
    }
    QRadialGradient face(c, r);
    face.setColorAt(0.0, inner);
    face.setColorAt(1.0, outer);
    p.setPen(QPen(rim, qMax(1.0, r * 0.06)));
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    // The sheen: pale rainbow light crossing the data area.
    QConicalGradient sheen(c, 30);
    const QList<QColor> colours{QColor(255, 140, 140, 0), QColor(255, 240, 120, 150), QColor(140, 240, 170, 0),
                                QColor(130, 190, 255, 150), QColor(230, 150, 255, 0)};
    for (int half = 0; half < 2; ++half)
        for (int i = 0; i < colours.size(); ++i)
            sheen.setColorAt(half * 0.5 + i * 0.5 / colours.size(), colours[i]);
    sheen.setColorAt(1.0, colours.first());
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(c, r * 0.92, r * 0.92);

    // The clear hub and its ring.
    p.setBrush(QColor(232, 236, 242));
    p.setPen(QPen(rim.lighter(130), qMax(0.8, r * 0.04)));
    p.drawEllipse(c, r * 0.36, r * 0.36);
    if (holeFill.alpha() == 0) {
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(c, r * 0.15, r * 0.15);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(rim, qMax(0.8, r * 0.035)));
        p.drawEllipse(c, r * 0.15, r * 0.15);
    } else {
        p.setBrush(holeFill);
        p.setPen(QPen(rim, qMax(0.8, r * 0.035)));
        p.drawEllipse(c, r * 0.15, r * 0.15);
    }
    p.restore();
}

// A round badge with a white arrow pointing right: the disc goes out to a debtor.
void paintLentBadge(QPainter& p, QPointF c, qreal r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent.darker(150), qMax(1.0, r * 0.12)));
    p.setBrush(kAccent);
    p.drawEllipse(c, r, r);
    QPainterPath arrow;
    arrow.moveTo(c + QPointF(-r * 0.55, -r * 0.18));
    arrow.lineTo(c + QPointF(r * 0.05, -r * 0.18));
    arrow.lineTo(c + QPointF(r * 0.05, -r * 0.5));
    arrow.lineTo(c + QPointF(r * 0.6, 0));
    arrow.lineTo(c + QPointF(r * 0.05, r * 0.5));
    arrow.lineTo(c + QPointF(r * 0.05, r * 0.18));
    arrow.lineTo(c + QPointF(-r * 0.55, r * 0.18));
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.restore();
}

// The application's own picture at any size: a disc with the "lent" badge.
QImage appIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    const qreal s = size / 48.0;
    paintDisc(p, QPointF(21 * s, 21 * s), 19.5 * s, DiscTone::Silver);
    paintLentBadge(p, QPointF(36 * s, 36 * s), 10.5 * s);
    return image;
}

// Pixel art: opaque pixels of a layer that touch a transparent one (or the edge) take the outline
// colour. Gives the small pictures crisp one-pixel borders.
QImage outlined(const QImage& layer, QColor outline)
{
    QImage out = layer;
    const auto clear = [&](int x, int y) {
        return x < 0 || y < 0 || x >= layer.width() || y >= layer.height() || qAlpha(layer.pixel(x, y)) < 128;
    };
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            if (!clear(x, y) && (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                out.setPixel(x, y, outline.rgba());
    return out;
}

// Draws a silhouette without smoothing through fn, outlines it and lays it over target.
void layer(QImage& target, QColor outline, const std::function<void(QPainter&)>& fn)
{
    QImage shape = canvas(target.width(), target.height());
    {
        QPainter p(&shape);
        p.setPen(Qt::NoPen);
        fn(p);
    }
    QPainter p(&target);
    p.drawImage(0, 0, outlined(shape, outline));
}

// A classic arrow pointer with its tip at (0, 0), scaled by s.
QPolygonF arrowShape(qreal s)
{
    QPolygonF poly{QPointF(0, 0), QPointF(0, 17), QPointF(4, 13), QPointF(7, 20), QPointF(10, 19),
                   QPointF(7, 12), QPointF(12, 12)};
    for (QPointF& pt : poly)
        pt *= s;
    return poly;
}

// ---- Main window ----------------------------------------------------------------------------

QImage fieldPointer()
{
    // An I-beam for text, centred on (16, 16), where an icon pointer has its hot spot.
    QImage image = canvas(32, 32);
    layer(image, Qt::white, [](QPainter& p) {
        p.setBrush(kNavy);
        p.drawRect(14, 6, 5, 21);   // stem, with the outline pass leaving a dark core 3 wide
        p.drawRect(10, 4, 13, 4);   // top serif
        p.drawRect(10, 25, 13, 4);  // bottom serif
    });
    QPainter p(&image);
    p.setPen(QPen(kAccent, 1));
    p.drawPoint(16, 16);
    return image;
}

QImage letterA(bool crossed)
{
    QImage image = canvas(21, 20, QColor(0, 176, 80));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(4.5, 17.5), QPointF(10.5, 4.5), QPointF(16.5, 17.5)}));
    p.drawLine(QPointF(7, 12), QPointF(14, 12));
    if (crossed) {
        p.setPen(QPen(QColor(220, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2.5, 2.5), QPointF(18.5, 17.5));
        p.drawLine(QPointF(18.5, 2.5), QPointF(2.5, 17.5));
    }
    return image;
}

// ---- Toolbar (silver ground, the toolbar's transparent colour) -------------------------------

QImage acceptPicture()
{
    QImage image = canvas(66, 66, kSilver);
    QPainter p(&image);
    paintDisc(p, QPointF(31, 31), 29, DiscTone::Silver, kSilver);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(12, 34);
    tick.lineTo(26, 48);
    tick.lineTo(54, 16);
    p.setPen(QPen(QColor(0, 70, 20), 13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(kGreen, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return image;
}

QImage smallPicture(const std::function<void(QImage&)>& paint)
{
    QImage image = canvas(20, 20, kSilver);
    paint(image);
    return image;
}

QImage pastePicture()
{
    return smallPicture([](QImage& image) {
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(128, 128, 0));
            p.drawRect(2, 2, 13, 16);           // the board
        });
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(128, 128, 128));
            p.drawRect(5, 1, 7, 4);             // the clip
        });
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(Qt::white);
            p.drawRect(8, 7, 10, 12);           // the sheet
        });
        QPainter p(&image);
        p.setPen(QColor(0, 0, 128));
        for (int y = 10; y <= 16; y += 2)
            p.drawLine(10, y, 15, y);
    });
}

QImage cutPicture()
{
    return smallPicture([](QImage& image) {
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(6, 1, 12, 12);               // the blades cross above the handles
        p.drawLine(13, 1, 7, 12);
        p.end();
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(128, 0, 0));
            p.drawEllipse(2, 11, 7, 7);         // the handles
            p.drawEllipse(11, 11, 7, 7);
        });
        QPainter q(&image);
        q.setPen(Qt::NoPen);
        q.setBrush(kSilver);
        q.drawRect(5, 14, 2, 2);                // the finger holes
        q.drawRect(14, 14, 2, 2);
    });
}

QImage copyPicture()
{
    return smallPicture([](QImage& image) {
        for (int offset : {0, 6}) {
            layer(image, Qt::black, [offset](QPainter& p) {
                p.setBrush(Qt::white);
                p.drawRect(2 + offset, 1 + offset, 10, 12);
            });
            QPainter p(&image);
            p.setPen(QColor(0, 0, 128));
            for (int y = 4; y <= 10; y += 2)
                p.drawLine(4 + offset, y + offset, 9 + offset, y + offset);
        }
    });
}

QImage openPicture()
{
    return smallPicture([](QImage& image) {
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(128, 128, 0));
            p.drawRect(1, 4, 6, 3);             // the tab
            p.drawRect(1, 6, 15, 11);           // the back of the folder
        });
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(255, 255, 0));
            p.drawPolygon(QPolygon({QPoint(4, 9), QPoint(19, 9), QPoint(16, 17), QPoint(1, 17)}));
        });
    });
}

QImage savePicture()
{
    return smallPicture([](QImage& image) {
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(QColor(0, 0, 128));
            p.drawRect(2, 2, 16, 16);           // the diskette
        });
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(Qt::white);
            p.drawRect(5, 2, 10, 7);            // the label
        });
        layer(image, Qt::black, [](QPainter& p) {
            p.setBrush(kSilver);
            p.drawRect(6, 12, 8, 6);            // the shutter
        });
        QPainter p(&image);
        p.setPen(QColor(0, 0, 128));
        p.drawLine(11, 13, 11, 15);
        p.setPen(QColor(128, 128, 128));
        p.drawLine(7, 4, 12, 4);
        p.drawLine(7, 6, 12, 6);
    });
}

QImage printPicture()
{
    QImage image = canvas(75, 65, kSilver);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(kInk, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18.5, 3.5, 38, 26));      // the sheet going in
    p.setBrush(QColor(90, 96, 108));
    p.drawRoundedRect(QRectF(4.5, 22.5, 66, 28), 5, 5);   // the body
    p.setBrush(QColor(60, 64, 74));
    p.drawRect(QRectF(14.5, 42.5, 46, 6));      // the slot
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16.5, 46.5, 42, 16));     // the printed page
    p.setPen(QPen(kNavy, 2.5));
    for (int y = 52; y <= 58; y += 5)
        p.drawLine(QPointF(22, y), QPointF(52, y));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen.lighter(120));
    p.drawEllipse(QPointF(62, 31), 3, 3);        // the power light
    return image;
}

QImage exitPicture()
{
    QImage image = canvas(63, 62, kSilver);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(kInk, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(QColor(60, 40, 30));
    p.drawRect(QRectF(8.5, 4.5, 30, 54));       // the doorway
    p.setBrush(QColor(170, 98, 44));
    p.drawPolygon(QPolygonF({QPointF(8.5, 4.5), QPointF(28.5, 10.5), QPointF(28.5, 54.5), QPointF(8.5, 58.5)}));
    p.setBrush(QColor(250, 220, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(24, 33), 2.5, 2.5);    // the knob
    QPainterPath arrow;
    arrow.moveTo(32, 27);
    arrow.lineTo(45, 27);
    arrow.lineTo(45, 18);
    arrow.lineTo(60, 33);
    arrow.lineTo(45, 48);
    arrow.lineTo(45, 39);
    arrow.lineTo(32, 39);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(120, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(220, 40, 40));
    p.drawPath(arrow);
    return image;
}

// ---- Cursor panel -----------------------------------------------------------------------------

QImage discIcon(int size, DiscTone tone)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    paintDisc(p, QPointF(size / 2.0, size / 2.0), size / 2.0 - 1, tone);
    return image;
}

QImage arrowPointer(QColor fill, QColor outline, DiscTone badge)
{
    QImage image = canvas(32, 32);
    layer(image, outline, [fill](QPainter& p) {
        p.setBrush(fill);
        p.drawPolygon(arrowShape(1.45));
    });
    QPainter p(&image);
    paintDisc(p, QPointF(24, 24), 7.5, badge);
    return image;
}

QImage handPointer()
{
    // The tip of the index finger is pixel (12, 1), the cursor's hot spot.
    QImage image = canvas(32, 32);
    layer(image, Qt::black, [](QPainter& p) {
        p.setBrush(Qt::white);
        p.drawRect(11, 1, 3, 1);                // rounded fingertip
        p.drawRect(10, 2, 5, 13);               // index finger
        p.drawRect(14, 10, 4, 6);               // folded fingers
        p.drawRect(17, 11, 4, 5);
        p.drawRect(20, 12, 4, 5);
        p.drawRect(6, 13, 18, 11);              // palm
        p.drawRect(3, 15, 4, 5);                // thumb
        p.drawRect(7, 23, 16, 3);
    });
    layer(image, Qt::black, [](QPainter& p) {
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(7, 25, 16, 6);               // cuff
    });
    QPainter p(&image);
    p.setPen(Qt::black);
    p.drawLine(17, 13, 17, 15);                 // knuckle creases
    p.drawLine(20, 14, 20, 15);
    return image;
}

QImage discCase()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kNavy.darker(140), 1.2));
    p.setBrush(QColor(200, 220, 245, 255));
    p.drawRoundedRect(QRectF(1.5, 5.5, 22, 22), 2, 2);
    p.setBrush(kNavy);
    p.drawRect(QRectF(1.5, 5.5, 3.5, 22));      // the spine
    paintDisc(p, QPointF(20, 16.5), 11, DiscTone::Silver);
    return image;
}

QImage discStack()
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    const QList<std::pair<QPointF, DiscTone>> discs{
        {QPointF(22, 22), DiscTone::Blue}, {QPointF(40, 26), DiscTone::Gold}, {QPointF(30, 40), DiscTone::Silver}};
    for (const auto& [centre, tone] : discs)
        paintDisc(p, centre, 20, tone);
    paintLentBadge(p, QPointF(51, 51), 11);
    return image;
}

QImage debtorIcon()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kNavy.darker(160), 1.2));
    p.setBrush(kNavy.lighter(140));
    p.drawEllipse(QPointF(12, 9), 6, 6.5);      // head
    QPainterPath body;
    body.moveTo(1.5, 30.5);
    body.cubicTo(1.5, 18, 22.5, 18, 22.5, 30.5);
    body.closeSubpath();
    p.setBrush(kNavy);
    p.drawPath(body);
    paintDisc(p, QPointF(24, 22), 8, DiscTone::Silver);
    return image;
}

// ---- Tips window --------------------------------------------------------------------------------

QImage bulbIcon()
{
    QImage image = canvas(32, 32);
    layer(image, Qt::black, [](QPainter& p) {
        p.setBrush(QColor(255, 255, 0));
        p.drawEllipse(6, 1, 19, 19);            // the glass
        p.drawRect(11, 17, 9, 5);               // its neck
    });
    layer(image, Qt::black, [](QPainter& p) {
        p.setBrush(QColor(128, 128, 128));
        p.drawRect(11, 21, 9, 7);               // the base
        p.drawRect(13, 27, 5, 3);
    });
    QPainter p(&image);
    p.setPen(Qt::black);
    p.drawLine(11, 23, 19, 23);                 // the thread
    p.drawLine(11, 25, 19, 25);
    p.setPen(Qt::white);
    p.drawLine(10, 6, 10, 10);                  // a glint
    p.drawLine(11, 5, 12, 4);
    p.setPen(QColor(128, 0, 0));
    p.drawLine(14, 11, 15, 16);                 // the filament
    p.drawLine(17, 11, 16, 16);
    return image;
}

// ---- Splash and about windows -----------------------------------------------------------------

QImage splashPicture()
{
    // 974 × 605. The windows write their labels over the top centre and the band below the
    // middle, so those stay a calm light ground; the discs sit between them.
    QImage image = canvas(974, 605, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 605);
    ground.setColorAt(0.0, QColor(240, 245, 252));
    ground.setColorAt(0.5, QColor(222, 233, 247));
    ground.setColorAt(1.0, QColor(240, 245, 252));
    p.fillRect(image.rect(), ground);

    // A soft band behind the discs.
    QLinearGradient band(0, 130, 0, 440);
    band.setColorAt(0.0, QColor(31, 62, 122, 0));
    band.setColorAt(0.5, QColor(31, 62, 122, 40));
    band.setColorAt(1.0, QColor(31, 62, 122, 0));
    p.fillRect(QRect(0, 130, 974, 310), band);

    // The discs, fanned as if pulled from a shelf one after another.
    const QList<std::tuple<QPointF, qreal, DiscTone>> discs{
        {QPointF(215, 290), 105, DiscTone::Blue},   {QPointF(350, 280), 120, DiscTone::Gold},
        {QPointF(487, 272), 138, DiscTone::Silver}, {QPointF(624, 280), 120, DiscTone::Gold},
        {QPointF(759, 290), 105, DiscTone::Blue}};
    const QList<int> order{0, 4, 1, 3, 2};
    for (int i : order) {
        const auto& [centre, radius, tone] = discs[i];
        QRadialGradient shadow(centre + QPointF(6, 12), radius * 1.1);
        shadow.setColorAt(0.85, QColor(0, 0, 0, 60));
        shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(centre + QPointF(6, 12), radius * 1.1, radius * 1.1);
        paintDisc(p, centre, radius, tone, QColor(226, 235, 248));
    }
    paintLentBadge(p, QPointF(600, 382), 34);

    // Thin rules framing the calm bands.
    p.setPen(QPen(QColor(31, 62, 122, 90), 2));
    p.drawLine(QPointF(120, 120), QPointF(854, 120));
    p.drawLine(QPointF(120, 448), QPointF(854, 448));
    return image;
}

// ---- Output -----------------------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(const QString& root) : m_root(root) {}

    void bytes(const QString& path, const QByteArray& data)
    {
        const QString full = m_root.filePath(path);
        QDir().mkpath(QFileInfo(full).absolutePath());
        if (!writeFile(full, data)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(full));
            m_ok = false;
            return;
        }
        std::printf("%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(data.size()));
    }
    void bmp24(const QString& path, const QImage& image) { bytes(path, bmpFile(image, 24)); }
    void bmp4(const QString& path, const QImage& image) { bytes(path, bmpFile(image, 4, vgaPalette())); }
    void icon(const QString& path, const QImage& image, int bitsPerPixel)
    {
        bytes(path, iconFile({IconImage{image, bitsPerPixel, {}}}, false));
    }
    void cursor(const QString& path, const QImage& image, int bitsPerPixel, QPoint hotSpot)
    {
        bytes(path, iconFile({IconImage{image, bitsPerPixel, hotSpot}}, true));
    }
    void encoded(const QString& path, const QImage& image, const char* format, int quality = -1)
    {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setQuality(quality);
        if (!writer.write(image)) {
            std::fprintf(stderr, "cannot encode %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
            m_ok = false;
            return;
        }
        bytes(path, data);
    }
    bool ok() const { return m_ok; }

private:
    QDir m_root;
    bool m_ok = true;
};

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures RESOURCES_DIR\n");
        return 2;
    }
    Writer out(QString::fromLocal8Bit(argv[1]));

    out.icon("form1/krambol.ico", appIcon(48), 8);
    for (int size : {48, 64, 128, 256})
        out.encoded(QStringLiteral("icons/hicolor/%1x%1/apps/krambol.png").arg(size), appIcon(size), "png");
    out.icon("form1/field.ico", fieldPointer(), 8);
    out.bmp24("form1/isp.bmp", letterA(true));
    out.bmp24("form1/picture1.bmp", letterA(true));
    out.bmp24("form1/picture2.bmp", letterA(false));
    out.bmp24("form1/picture3.bmp", canvas(139, 63, QColor(0, 255, 0)));
    out.bmp24("form1/picture4.bmp", canvas(139, 63, QColor(255, 0, 0)));
    out.bmp24("form1/picture5.bmp", canvas(217, 77, QColor(255, 255, 0)));

    out.bmp24("form1/toolbar/pr.bmp", acceptPicture());
    out.bmp4("form1/toolbar/past.bmp", pastePicture());
    out.bmp4("form1/toolbar/cut.bmp", cutPicture());
    out.bmp4("form1/toolbar/copy.bmp", copyPicture());
    out.bmp4("form1/toolbar/open.bmp", openPicture());
    out.bmp4("form1/toolbar/save.bmp", savePicture());
    out.bmp24("form1/toolbar/print.bmp", printPicture());
    out.bmp24("form1/toolbar/end.bmp", exitPicture());

    out.icon("cursors/image1.ico", discIcon(32, DiscTone::Silver), 8);
    out.icon("cursors/image2.ico", discIcon(32, DiscTone::Gold), 24);
    out.cursor("cursors/image3.cur", arrowPointer(Qt::white, Qt::black, DiscTone::Silver), 8, QPoint(0, 0));
    out.icon("cursors/image4.ico", discCase(), 8);
    out.cursor("cursors/image5.cur", handPointer(), 4, QPoint(12, 1));
    out.cursor("cursors/image7.cur", arrowPointer(kNavy, Qt::white, DiscTone::Gold), 8, QPoint(0, 0));
    out.icon("cursors/image8.ico", discStack(), 8);
    out.icon("cursors/image9.ico", debtorIcon(), 8);

    out.encoded("windows/picture.jpg", splashPicture(), "jpg", 90);
    out.icon("windows/tip.ico", bulbIcon(), 4);
    return out.ok() ? 0 : 1;
}
