#include "platform/RichTextDocument.h"
#include "platform/rtf/Reader.h"
#include "platform/rtf/Writer.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace krambol;

namespace {

QTextCharFormat charFormat(bool bold, bool italic, bool underline, double points, std::optional<QColor> color = std::nullopt)
{
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontPointSize(points);
    if (color)
        f.setForeground(*color);
    return f;
}

// Each character with the format it shows, one line per character.
QString shownFormats(const QTextDocument& document)
{
    QString s;
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    for (int i = 1; i < document.characterCount(); ++i) {
        cursor.setPosition(i);
        const QTextCharFormat f = cursor.charFormat();
        const QFont font = f.font().resolve(document.defaultFont());
        s += QStringLiteral("%1 %2 b%3 i%4 u%5 %6 %7\n")
                 .arg(document.characterAt(i - 1))
                 .arg(font.pointSizeF())
                 .arg(font.bold())
                 .arg(font.italic())
                 .arg(font.underline())
                 .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("auto"))
                 .arg(font.family());
    }
    return s;
}

} // namespace

class RichTextDocumentTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void roundTripKeepsTextAndFormatsPerRun();
    void runsShowTheFormatMergedOverTheDefaultFont();
    void sizesRoundToTheNearestHalfPoint_data();
    void sizesRoundToTheNearestHalfPoint();
    void aRangeGivesOnlyItsPart();

private:
    QTextDocument* m_document = nullptr;
};

void RichTextDocumentTest::init()
{
    m_document = new QTextDocument;
    m_document->setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), 24));
}

void RichTextDocumentTest::cleanup()
{
    delete m_document;
    m_document = nullptr;
}

void RichTextDocumentTest::roundTripKeepsTextAndFormatsPerRun()
{
    QTextCursor cursor(m_document);
    cursor.insertText(u"Иван-"_qs, charFormat(true, false, false, 24));
    cursor.insertText(u"Игра {x} \\ |"_qs, charFormat(false, true, true, 10.5, QColor(Qt::red)));
    cursor.insertBlock();
    cursor.insertText(u"\t😀 柔道"_qs, charFormat(true, true, true, 8, QColor(0x12, 0x34, 0x56)));
    cursor.insertBlock();
    cursor.insertText(u"plain"_qs, charFormat(false, false, false, 24));

    const rtf::ReadResult result = rtf::read(rtf::write(platform::toRtfDocument(*m_document)));
    QVERIFY(!result.error);
    QTextDocument back;
    back.setDefaultFont(m_document->defaultFont());
    QTextCursor backCursor(&back);
    platform::insertRtfDocument(backCursor, result.document);

    QCOMPARE(back.toPlainText(), m_document->toPlainText());
    QCOMPARE(shownFormats(back), shownFormats(*m_document));
}

void RichTextDocumentTest::runsShowTheFormatMergedOverTheDefaultFont()
{
    m_document->setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor cursor(m_document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(u"a"_qs, bold);
    QTextCharFormat coloured;
    coloured.setForeground(QColor(0, 0, 255));
    cursor.insertText(u"b"_qs, coloured);

    const rtf::Document document = platform::toRtfDocument(*m_document);
    QCOMPARE(document.runs.size(), 2);
    rtf::CharFormat expected;
    expected.fontName = u"Arial"_qs;
    expected.halfPoints = 20;
    expected.bold = true;
    QVERIFY(document.runs[0].format == expected);
    expected.bold = false;
    expected.color = 0xFF0000FF;
    QVERIFY(document.runs[1].format == expected);
}

void RichTextDocumentTest::sizesRoundToTheNearestHalfPoint_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("halfPoints");
    QTest::newRow("whole") << 24.0 << 48;
    QTest::newRow("half") << 10.5 << 21;
    QTest::newRow("just below a half") << 10.2 << 20;
    QTest::newRow("just above a half") << 10.3 << 21;
}

void RichTextDocumentTest::sizesRoundToTheNearestHalfPoint()
{
    QFETCH(double, points);
    QFETCH(int, halfPoints);
    QTextCursor cursor(m_document);
    cursor.insertText(u"x"_qs, charFormat(false, false, false, points));
    QCOMPARE(platform::toRtfDocument(*m_document).runs.value(0).format.halfPoints, halfPoints);
}

void RichTextDocumentTest::aRangeGivesOnlyItsPart()
{
    QTextCursor cursor(m_document);
    cursor.insertText(u"abc"_qs);
    cursor.insertBlock();
    cursor.insertText(u"def"_qs, charFormat(true, false, false, 24));
    QCOMPARE(platform::toRtfDocument(*m_document, 1, 6).plainText(), u"bc\nde"_qs);
    QCOMPARE(platform::toRtfDocument(*m_document, 4).plainText(), u"def"_qs);
    QCOMPARE(platform::toRtfDocument(*m_document).plainText(), m_document->toPlainText());
    QCOMPARE(platform::toRtfDocument(*m_document, 2, 2).runs.size(), 0);
}

QTEST_MAIN(RichTextDocumentTest)
#include "tst_richtextdocument.moc"
