// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/ImageSlot.h"
#include "cursors/PointerPicture.h"
#include "widgets/PictureButton.h"
#include "support/Form1Fixture.h"

#include <QFile>
#include <QGroupBox>
#include <QTemporaryDir>

using namespace krambol;

// The cursor panel: widening and narrowing the window, each slot's picture as the window's pointer,
// and loading an icon file into the ninth slot.
class CursorCollectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.makeShown(); }
    void cleanup() { f.reset(); }

    void widthTogglesLeaveTheHeightMode_data();
    void widthTogglesLeaveTheHeightMode();
    void eachSlotBecomesThePointer_data();
    void eachSlotBecomesThePointer();
    void emptyLoadedIconSlotClearsThePointer();
    void loadedIconBecomesThePointerAndStays();
    void cancelledLoadChangesNothing();
    void badIconFileIsReportedAndChangesNothing_data();
    void badIconFileIsReportedAndChangesNothing();

private:
    QCursor pointer() const { return f.ui().client->cursor(); }
    cursors::ImageSlot* slot(int n) const { return f.child<cursors::ImageSlot>(QStringLiteral("Image%1").arg(n)); }
    void clickSlot(int n)
    {
        const std::array<void (shell::Form1::*)(), 9> reactions{
            &shell::Form1::Image1_Click, &shell::Form1::Image2_Click, &shell::Form1::Image3_Click,
            &shell::Form1::Image4_Click, &shell::Form1::Image5_Click, &shell::Form1::Image6_Click,
            &shell::Form1::Image7_Click, &shell::Form1::Image8_Click, &shell::Form1::Image9_Click};
        (f.form.get()->*reactions[n - 1])();
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
        return path;
    }
    static QByteArray resource(const QString& path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    testing::Form1Fixture f;
    QTemporaryDir dir;
};

void CursorCollectionTest::widthTogglesLeaveTheHeightMode_data()
{
    QTest::addColumn<QString>("heightMode");  // reaction run before the toggles
    QTest::addColumn<int>("outerHeight");
    QTest::newRow("start") << "" << 6450;
    QTest::newRow("button larger") << "Command7" << 11000;
    QTest::newRow("menu smaller") << "всв" << 4050;
}

void CursorCollectionTest::widthTogglesLeaveTheHeightMode()
{
    QFETCH(QString, heightMode);
    QFETCH(int, outerHeight);
    if (heightMode == QLatin1String("Command7"))
        f.form->Command7_Click();
    else if (heightMode == u"всв")
        f.form->всв_Click();
    const QPoint panelAt = f.ui().Frame6->pos();

    f.form->Command10_Click();
    QCOMPARE(f.form->outerWidthTwips(), 9390);
    QCOMPARE(f.ui().client->width(), 621);
    QVERIFY(!f.ui().Command10->isVisible());
    QVERIFY(f.ui().Command11->isVisible());
    QCOMPARE(f.ui().Frame6->pos(), panelAt);
    QVERIFY(f.ui().client->rect().contains(f.ui().Frame6->geometry().topLeft()));
    QVERIFY(QRect(QPoint(0, 0), f.ui().client->size()).right() >= f.ui().Frame6->geometry().right());
    QVERIFY(qAbs(f.form->outerHeightTwips() - outerHeight) <= 15);

    f.form->Command11_Click();
    QCOMPARE(f.form->outerWidthTwips(), 7830);
    QVERIFY(f.ui().Command10->isVisible());
    QVERIFY(!f.ui().Command11->isVisible());
    QVERIFY(qAbs(f.form->outerHeightTwips() - outerHeight) <= 15);
}

void CursorCollectionTest::eachSlotBecomesThePointer_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::newRow("Image1 icon") << 1 << QSize(32, 32) << QPoint(16, 16);
    QTest::newRow("Image2 icon") << 2 << QSize(32, 32) << QPoint(16, 16);
    QTest::newRow("Image3 cursor") << 3 << QSize(32, 32) << QPoint(0, 0);
    QTest::newRow("Image4 icon") << 4 << QSize(32, 32) << QPoint(16, 16);
    QTest::newRow("Image5 cursor") << 5 << QSize(32, 32) << QPoint(12, 1);
    QTest::newRow("Image7 cursor") << 7 << QSize(32, 32) << QPoint(0, 0);
    QTest::newRow("Image8 icon, not the stretched view") << 8 << QSize(64, 64) << QPoint(32, 32);
    QTest::newRow("Image9 icon") << 9 << QSize(32, 32) << QPoint(16, 16);
}

void CursorCollectionTest::eachSlotBecomesThePointer()
{
    QFETCH(int, slot);
    QFETCH(QSize, size);
    QFETCH(QPoint, hotSpot);
    clickSlot(slot == 3 ? 1 : 3);  // start from another pointer
    QTest::mouseClick(this->slot(slot), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(pointer().shape(), Qt::BitmapCursor);
    QCOMPARE(pointer().pixmap().size(), size);
    QCOMPARE(pointer().hotSpot(), hotSpot);
    QCOMPARE(pointer().pixmap().toImage(), QPixmap::fromImage(this->slot(slot)->picture().image).toImage());
}

void CursorCollectionTest::emptyLoadedIconSlotClearsThePointer()
{
    // At start the window's pointer is Image3's cursor.
    QCOMPARE(pointer().hotSpot(), QPoint(0, 0));
    QCOMPARE(pointer().pixmap().toImage(), QPixmap::fromImage(slot(3)->picture().image).toImage());
    f.form->Image6_Click();
    QCOMPARE(pointer().shape(), Qt::ArrowCursor);
    f.form->Image3_Click();
    QCOMPARE(pointer().shape(), Qt::BitmapCursor);
}

void CursorCollectionTest::loadedIconBecomesThePointerAndStays()
{
    const QString icon = writeFile(QStringLiteral("мой.ico"), resource(QStringLiteral(":/cursors/image9.ico")));
    f.seams->dialog.fileNames.enqueue(icon);
    f.form->Command12_Click();
    QCOMPARE(f.seams->dialog.calls[0].title, QStringLiteral("Открыть"));
    QCOMPARE(f.seams->dialog.calls[0].filter, QStringLiteral("Иконки(*.ico)|*.ico"));
    QVERIFY(!slot(6)->picture().isNull());
    const QImage loaded = pointer().pixmap().toImage();
    QCOMPARE(loaded, QPixmap::fromImage(slot(9)->picture().image).toImage());

    // Another slot, then the loaded-icon slot again, brings the loaded icon back; the panel's width
    // toggles keep the pointer.
    f.form->Image3_Click();
    f.form->Command10_Click();
    f.form->Command11_Click();
    QCOMPARE(pointer().hotSpot(), QPoint(0, 0));
    f.form->Image6_Click();
    QCOMPARE(pointer().pixmap().toImage(), loaded);
}

void CursorCollectionTest::cancelledLoadChangesNothing()
{
    const QImage before = pointer().pixmap().toImage();
    f.form->Command12_Click();
    QVERIFY(slot(6)->picture().isNull());
    QCOMPARE(pointer().pixmap().toImage(), before);
    QVERIFY(f.seams->messages.calls.isEmpty());
}

void CursorCollectionTest::badIconFileIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    const QByteArray icon = resource(QStringLiteral(":/cursors/image1.ico"));
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("zero bytes") << QByteArray("") << true;
    QTest::newRow("another format") << resource(QStringLiteral(":/form1/picture1.bmp")) << true;
    QTest::newRow("truncated") << icon.left(icon.size() / 2) << true;
    QByteArray zeroSized = icon;
    zeroSized[6] = 0;   // width
    zeroSized[7] = 0;   // height: 0 means 256 in a directory entry, so also give an impossible size
    zeroSized[14] = char(0xFF);
    zeroSized[15] = char(0xFF);
    zeroSized[16] = char(0xFF);
    QTest::newRow("zero-sized / broken entry") << zeroSized << true;
    QByteArray huge = icon;
    huge[4] = char(0xFF);  // thousands of images announced
    huge[5] = char(0x7F);
    QTest::newRow("huge count") << huge << true;
}

void CursorCollectionTest::badIconFileIsReportedAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    // A good icon loaded first: a bad file must not replace it.
    f.seams->dialog.fileNames.enqueue(writeFile(QStringLiteral("good.ico"), resource(QStringLiteral(":/cursors/image9.ico"))));
    f.form->Command12_Click();
    const QImage slotBefore = slot(6)->picture().image;
    const QImage pointerBefore = pointer().pixmap().toImage();

    const QString bad = exists ? writeFile(QStringLiteral("bad.ico"), bytes) : dir.filePath(QStringLiteral("нет.ico"));
    f.seams->dialog.fileNames.enqueue(bad);
    f.form->Command12_Click();

    QCOMPARE(f.seams->messages.calls.size(), 1);
    QCOMPARE(f.seams->messages.calls[0].title, QStringLiteral("Крамбол"));
    QCOMPARE(f.seams->messages.calls[0].icon, platform::MessageIcon::Critical);
    QVERIFY(f.seams->messages.calls[0].text.contains(QStringLiteral(".ico")));
    QCOMPARE(slot(6)->picture().image, slotBefore);
    QCOMPARE(pointer().pixmap().toImage(), pointerBefore);
}

QTEST_MAIN(CursorCollectionTest)
#include "tst_cursorcollection.moc"
