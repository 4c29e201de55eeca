// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RichTextDocument.h"
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

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

// The conversion done the straightforward way, to hold the quicker one to: every fragment's own text, the
// formats by the document's index, each added when first met and joined by value.
rtf::Document fragmentByFragment(const QTextDocument& document, int from, int to)
{
    const int end = document.characterCount() - 1;
    if (to < 0 || to > end)
        to = end;
    from = qBound(0, from, to);
    rtf::Document result;
    QHash<int, int> formats;
    const auto formatOf = [&](int index, const QTextCharFormat& format) {
        auto it = formats.find(index);
        if (it == formats.end())
            it = formats.insert(index, result.addFormat(reg::shownFormat(format, document.defaultFont())));
        return *it;
    };
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        if (block.position() > from) {
            const QTextBlock previous = block.previous();
            result.append(formatOf(previous.charFormatIndex(), previous.charFormat()), QStringView(u"\u2029"));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(fragment.position(), from);
            const int stop = qMin(fragment.position() + fragment.length(), to);
            if (start < stop)
                result.append(formatOf(fragment.charFormatIndex(), fragment.charFormat()),
                              QStringView(fragment.text()).sliced(start - fragment.position(), stop - start));
        }
    }
    return result;
}

// Documents of each kind the register can hold, by name.
void fillDocument(QTextDocument& document, const QString& kind)
{
    QTextCursor cursor(&document);
    if (kind == u"plain") {
        cursor.insertText(u"Иван-Игра | Пётр-Кино |"_qs);
    } else if (kind == u"paragraphs") {
        // Formats that differ in the document but show alike (a file's formats name their font).
        QTextCharFormat named;
        named.setFontFamilies({document.defaultFont().family()});
        for (int i = 0; i < 6; ++i) {
            if (i > 0)
                cursor.insertBlock(QTextBlockFormat(), named);
            cursor.insertText(QStringLiteral("Иван-Игра %1 |").arg(i), i % 2 ? named : QTextCharFormat());
        }
    } else if (kind == u"formatted") {
        // Runs in several formats, the breaks between paragraphs in formats of their own.
        for (int i = 0; i < 12; ++i) {
            if (i % 4 == 3)
                cursor.insertBlock(QTextBlockFormat(), charFormat(i % 2, true, false, 8 + i));
            cursor.insertText(QStringLiteral("Иван%1").arg(i), charFormat(i % 3 == 0, false, i % 5 == 0, 10 + i % 3,
                                                                       i % 2 ? std::optional(QColor(Qt::red)) : std::nullopt));
            cursor.insertText(u"-Игра |"_qs, charFormat(false, false, false, 24));
        }
    } else if (kind == u"many alike") {
        // More formats than are compared up front, all showing alike.
        for (int i = 0; i < 300; ++i) {
            QTextCharFormat format;
            format.setProperty(QTextFormat::UserProperty + 1, i);
            cursor.insertText(QStringLiteral("%1 |").arg(i), format);
            if (i % 50 == 49)
                cursor.insertBlock(QTextBlockFormat(), format);
        }
    } else if (kind == u"table") {
        cursor.insertText(u"до"_qs, charFormat(true, false, false, 12));
        QTextTable* table = cursor.insertTable(2, 2);
        table->cellAt(0, 0).firstCursorPosition().insertText(u"а"_qs, charFormat(false, true, false, 12));
        table->cellAt(1, 1).firstCursorPosition().insertText(u"бв"_qs);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(u"после"_qs, charFormat(false, false, true, 12));
    }
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
    void aRangeGivesWhatEachFragmentShows_data();
    void aRangeGivesWhatEachFragmentShows();
    void manyDistinctFontsShowTheirOwnNames();
    void runsShowTheirFormatWhateverTheDocumentFont_data();
    void runsShowTheirFormatWhateverTheDocumentFont();

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

    const rtf::ReadResult result = rtf::read(rtf::write(reg::toRtfDocument(*m_document)));
    QVERIFY(!result.error);
    QTextDocument back;
    back.setDefaultFont(m_document->defaultFont());
    QTextCursor backCursor(&back);
    reg::insertRtfDocument(backCursor, result.document);

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

    const rtf::Document document = reg::toRtfDocument(*m_document);
    QCOMPARE(document.runCount(), 2);
    rtf::CharFormat expected;
    expected.fontName = u"Arial"_qs;
    expected.halfPoints = 20;
    expected.bold = true;
    QVERIFY(document.runFormat(0) == expected);
    expected.bold = false;
    expected.color = 0xFF0000FF;
    QVERIFY(document.runFormat(1) == expected);
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
    QCOMPARE(reg::toRtfDocument(*m_document).runFormat(0).halfPoints, halfPoints);
}

void RichTextDocumentTest::aRangeGivesOnlyItsPart()
{
    QTextCursor cursor(m_document);
    cursor.insertText(u"abc"_qs);
    cursor.insertBlock();
    cursor.insertText(u"def"_qs, charFormat(true, false, false, 24));
    QCOMPARE(reg::toRtfDocument(*m_document, 1, 6).plainText(), u"bc\nde"_qs);
    QCOMPARE(reg::toRtfDocument(*m_document, 4).plainText(), u"def"_qs);
    QCOMPARE(reg::toRtfDocument(*m_document).plainText(), m_document->toPlainText());
    QCOMPARE(reg::toRtfDocument(*m_document, 2, 2).runCount(), 0);
}

void RichTextDocumentTest::aRangeGivesWhatEachFragmentShows_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"plain", "paragraphs", "formatted", "many alike", "table"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// The conversion reads where runs and paragraphs end, not their text: every range of each kind of
// document, written as RTF, is what the fragments themselves give.
void RichTextDocumentTest::aRangeGivesWhatEachFragmentShows()
{
    QFETCH(QString, kind);
    fillDocument(*m_document, kind);
    const int end = m_document->characterCount() - 1;
    QList<int> positions;
    if (end < 64) {
        for (int i = 0; i <= end; ++i)
            positions.append(i);
    } else {
        // Every break, and either side of it, and a few places in runs.
        for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
            positions << block.position() - 1 << block.position() << block.position() + 1;
        positions << 0 << 5 << end / 3 << end / 2 << end - 1 << end;
    }
    for (int from : positions) {
        for (int to : positions) {
            if (from < 0 || to < from || to > end)
                continue;
            const rtf::Document quick = reg::toRtfDocument(*m_document, from, to);
            const rtf::Document reference = fragmentByFragment(*m_document, from, to);
            QVERIFY2(quick == reference, qPrintable(QStringLiteral("%1..%2").arg(from).arg(to)));
            QCOMPARE(rtf::write(quick), rtf::write(reference));
        }
    }
    QCOMPARE(rtf::write(reg::toRtfDocument(*m_document, -5, end + 10)), rtf::write(fragmentByFragment(*m_document, 0, -1)));
}

void RichTextDocumentTest::manyDistinctFontsShowTheirOwnNames()
{
    // Formats that differ in their font's name only (Qt hashes them alike unless told apart).
    rtf::Document document;
    const int fonts = 20000;
    for (int i = 0; i < fonts; ++i) {
        rtf::CharFormat format;
        format.fontName = QStringLiteral("Font %1").arg(i);
        document.append(format, QStringLiteral("%1 ").arg(i));
        document.append(rtf::CharFormat{}, u"| "_qs);
    }
    QTextCursor cursor(m_document);
    reg::insertRtfDocument(cursor, document);
    QCOMPARE(reg::toRtfDocument(*m_document), document);
}

void RichTextDocumentTest::runsShowTheirFormatWhateverTheDocumentFont_data()
{
    QTest::addColumn<QFont>("documentFont");
    QTest::newRow("the register's font") << QFont(QStringLiteral("MS Sans Serif"), 24);
    QFont styled(QStringLiteral("Arial"), 10);
    styled.setBold(true);
    styled.setItalic(true);
    styled.setUnderline(true);
    QTest::newRow("bold italic underlined 10 points") << styled;
}

void RichTextDocumentTest::runsShowTheirFormatWhateverTheDocumentFont()
{
    QFETCH(QFont, documentFont);
    m_document->setDefaultFont(documentFont);
    rtf::Document document;
    for (int i = 0; i < 16; ++i) {
        rtf::CharFormat format;
        format.bold = i & 1;
        format.italic = i & 2;
        format.underline = i & 4;
        format.halfPoints = i & 8 ? 20 : 48;
        document.append(format, QStringLiteral("run %1 ").arg(i));
    }
    QTextCursor cursor(m_document);
    reg::insertRtfDocument(cursor, document);
    QCOMPARE(reg::toRtfDocument(*m_document), document);
}

QTEST_MAIN(RichTextDocumentTest)
#include "tst_richtextdocument.moc"
