// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/ImageSlot.h"

#include <QSignalSpy>
#include <QTest>

using krambol::cursors::ImageSlot;
using krambol::cursors::loadPointerPicture;
using krambol::cursors::PointerPicture;

namespace {

const QRgb kGround = qRgb(10, 200, 10);   // the container's colour, seen where nothing is drawn

PointerPicture solid(QSize size, QRgb colour)
{
    PointerPicture picture;
    picture.image = QImage(size, QImage::Format_ARGB32);
    picture.image.fill(colour);
    picture.bitsPerPixel = 24;
    picture.hotSpot = QPoint(size.width() / 2, size.height() / 2);
    return picture;
}

// How many pixels of the area are drawn in the colour.
int count(const QImage& image, QRect area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

class ImageSlotTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptySlotShowsTheContainer();
    void drawsThePictureAtItsNaturalSizeFromTheTopLeft();
    void stretchedSlotFillsItsRectangle();
    void keepsThePictureObjectNotItsRendering();
    void clearingThePictureClearsTheView();
    void leftClickIsReported();
    void otherButtonsAndDragsOffAreNotClicks_data();
    void otherButtonsAndDragsOffAreNotClicks();
    void takesNoFocus();

private:
    QImage shot() const;

    QWidget* m_container = nullptr;
    ImageSlot* m_slot = nullptr;
};

void ImageSlotTest::init()
{
    m_container = new QWidget;
    m_container->resize(120, 120);
    QPalette palette = m_container->palette();
    palette.setColor(QPalette::Window, QColor(kGround));
    m_container->setPalette(palette);
    m_container->setAutoFillBackground(true);
    m_slot = new ImageSlot(m_container);
    m_slot->setGeometry(0, 0, 80, 80);
    m_container->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_container));
}

void ImageSlotTest::cleanup()
{
    delete m_container;
    m_container = nullptr;
    m_slot = nullptr;
}

QImage ImageSlotTest::shot() const
{
    return m_container->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(0, 0, 120, 120);
}

void ImageSlotTest::emptySlotShowsTheContainer()
{
    QVERIFY(m_slot->picture().isNull());
    QCOMPARE(count(shot(), QRect(0, 0, 80, 80), kGround), 80 * 80);
}

void ImageSlotTest::drawsThePictureAtItsNaturalSizeFromTheTopLeft()
{
    m_slot->setPicture(solid(QSize(32, 32), qRgb(200, 0, 0)));
    const QImage image = shot();
    QCOMPARE(count(image, QRect(0, 0, 32, 32), qRgb(200, 0, 0)), 32 * 32);
    QCOMPARE(count(image, QRect(32, 0, 48, 80), kGround), 48 * 80);
    QCOMPARE(count(image, QRect(0, 32, 32, 48), kGround), 32 * 48);
}

void ImageSlotTest::stretchedSlotFillsItsRectangle()
{
    // The big cursor-panel icon: 64 × 64 drawn into a 40 × 32 box.
    m_slot->setGeometry(0, 0, 40, 32);
    m_slot->setStretch(true);
    m_slot->setPicture(solid(QSize(64, 64), qRgb(0, 0, 200)));
    QImage image = shot();
    QCOMPARE(count(image, QRect(0, 0, 40, 32), qRgb(0, 0, 200)), 40 * 32);
    QCOMPARE(image.pixel(40, 10), kGround);

    // And shrunk into a box larger than the picture, it grows with it.
    m_slot->setGeometry(0, 0, 100, 90);
    image = shot();
    QCOMPARE(count(image, QRect(0, 0, 100, 90), qRgb(0, 0, 200)), 100 * 90);
}

void ImageSlotTest::keepsThePictureObjectNotItsRendering()
{
    const PointerPicture big = loadPointerPicture(":/cursors/image8.ico").picture;
    m_slot->setGeometry(0, 0, 40, 32);
    m_slot->setStretch(true);
    m_slot->setPicture(big);
    QCOMPARE(m_slot->picture().image.size(), QSize(64, 64));
    QCOMPARE(m_slot->picture().image, big.image);
    QCOMPARE(m_slot->picture().hotSpot, QPoint(32, 32));
    QCOMPARE(m_slot->picture().bitsPerPixel, 8);
}

void ImageSlotTest::clearingThePictureClearsTheView()
{
    m_slot->setPicture(solid(QSize(32, 32), qRgb(200, 0, 0)));
    m_slot->setPicture(PointerPicture{});
    QVERIFY(m_slot->picture().isNull());
    QCOMPARE(count(shot(), QRect(0, 0, 80, 80), kGround), 80 * 80);
}

void ImageSlotTest::leftClickIsReported()
{
    QSignalSpy clicked(m_slot, &ImageSlot::clicked);
    QTest::mouseClick(m_slot, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    // An empty slot is clickable too: choosing it clears the pointer.
    QVERIFY(m_slot->picture().isNull());
    QTest::mouseClick(m_slot, Qt::LeftButton, {}, QPoint(70, 70));
    QCOMPARE(clicked.count(), 2);
}

void ImageSlotTest::otherButtonsAndDragsOffAreNotClicks_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::newRow("right button") << Qt::RightButton << QPoint(5, 5);
    QTest::newRow("middle button") << Qt::MiddleButton << QPoint(5, 5);
    QTest::newRow("left, released outside") << Qt::LeftButton << QPoint(100, 5);
}

void ImageSlotTest::otherButtonsAndDragsOffAreNotClicks()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QSignalSpy clicked(m_slot, &ImageSlot::clicked);
    QTest::mousePress(m_slot, button, {}, QPoint(5, 5));
    QTest::mouseRelease(m_slot, button, {}, releaseAt);
    QCOMPARE(clicked.count(), 0);
}

void ImageSlotTest::takesNoFocus()
{
    QCOMPARE(m_slot->focusPolicy(), Qt::NoFocus);
}

QTEST_MAIN(ImageSlotTest)
#include "tst_imageslot.moc"
