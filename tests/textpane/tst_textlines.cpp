// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WholeParagraphLines.h"
#include "textpane/TextLines.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

using krambol::textpane::TextLines;
using namespace Qt::StringLiterals;

namespace {

using Span = krambol::testing::LineSpan;
using krambol::testing::wholeParagraphLines;

QList<Span> linesOf(TextLines& lines)
{
    while (lines.layoutSome(1 << 20)) {
    }
    QList<Span> spans;
    for (int i = 0; i < lines.count(); ++i)
        spans.append({lines.line(i).start, lines.line(i).length});
    return spans;
}

QString describe(const QList<Span>& spans, qsizetype around)
{
    QStringList parts;
    for (qsizetype i = std::max<qsizetype>(0, around - 2); i < std::min(spans.size(), around + 3); ++i)
        parts << QStringLiteral("%1+%2").arg(spans[i].start).arg(spans[i].length);
    return parts.join(u' ');
}

// Compares line by line and names the first difference.
void compareLines(TextLines& lines, const QTextDocument& document)
{
    const QList<Span> ours = linesOf(lines);
    const QList<Span> qt = wholeParagraphLines(document, lines.width());
    qsizetype i = 0;
    while (i < ours.size() && i < qt.size() && ours[i] == qt[i])
        ++i;
    if (i < ours.size() || i < qt.size())
        QFAIL(qPrintable(QStringLiteral("line %1 of %2/%3 differs: ours %4, whole paragraph %5")
                             .arg(i)
                             .arg(ours.size())
                             .arg(qt.size())
                             .arg(describe(ours, i), describe(qt, i))));
}

// Entries as the accept writes them, with names and discs of varying length so that the wrap points do
// not repeat with a fixed period.
QString entries(int count, quint32 seed)
{
    static const char16_t* const names[] = {u"Иван", u"Пётр", u"Ольга", u"Вера", u"Анна-Мария", u"Юлия",
                                            u"Глеб", u"Константин", u"Ян"};
    static const char16_t* const discs[] = {u"Игра", u"Диск с музыкой", u"Хиты", u"Джаз 1999", u"Кино",
                                            u"Microsoft Office", u"Роки"};
    QRandomGenerator random(seed);
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += u' ';
        text += QString::fromUtf16(names[random.bounded(int(std::size(names)))]) + QStringLiteral("------")
                + QString::fromUtf16(discs[random.bounded(int(std::size(discs)))]) + QStringLiteral(" |");
    }
    return text;
}

} // namespace

class TstTextLines : public QObject
{
    Q_OBJECT

private:
    QTextDocument* m_document = nullptr;
    TextLines* m_lines = nullptr;

    void insertAt(int position, const QString& text, const QTextCharFormat& format = {})
    {
        QTextCursor cursor(m_document);
        cursor.beginEditBlock();
        cursor.setPosition(position);
        cursor.insertText(text, format);
        cursor.endEditBlock();
    }
    // A register styled by hand: every third entry in a font of its own, the others in the document's.
    void formatEveryThird()
    {
        QTextCursor cursor(m_document);
        const QString text = m_document->toPlainText();
        QTextCharFormat large;
        large.setFontPointSize(13);
        large.setFontItalic(true);
        int entry = 0;
        cursor.beginEditBlock();
        for (qsizetype at = text.indexOf(u'|'); at >= 0; at = text.indexOf(u'|', at + 1), ++entry) {
            if (entry % 3 != 0)
                continue;
            cursor.setPosition(std::max<qsizetype>(0, at - 12));
            cursor.setPosition(at, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(large);
        }
        cursor.endEditBlock();
    }
    void removeBetween(int from, int to)
    {
        QTextCursor cursor(m_document);
        cursor.beginEditBlock();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.endEditBlock();
    }

private Q_SLOTS:
    void init()
    {
        m_document = new QTextDocument;
        m_document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        m_lines = new TextLines(*m_document);
        m_lines->setWidth(380);
    }
    void cleanup()
    {
        delete m_lines;
        delete m_document;
    }

    void windowsBreakWhereAWholeParagraphBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("width");
        QTest::newRow("empty") << QString() << 380.0;
        QTest::newRow("one entry") << entries(1, 1) << 380.0;
        QTest::newRow("register of 3000 entries, several windows") << entries(3000, 2) << 380.0;
        QTest::newRow("narrow pane") << entries(800, 3) << 61.0;
        QTest::newRow("wider than a window: windows grow") << entries(400, 4) << 200000.0;
        QTest::newRow("a word longer than a line wraps anywhere") << QString(9000, u'Ж') + entries(50, 5) << 380.0;
        QTest::newRow("paragraphs, empty ones among them")
            << entries(300, 6) + QStringLiteral("\n\n") + entries(200, 7) + QStringLiteral("\n") << 380.0;
        QTest::newRow("tabs and runs of spaces")
            << QStringLiteral("Иван\t\tИгра      |").repeated(700) << 380.0;
        QTest::newRow("surrogate pairs and combining marks")
            << QStringLiteral("Ёлка 😀 й̆ диск |").repeated(900) << 380.0;
    }
    void windowsBreakWhereAWholeParagraphBreaks()
    {
        QFETCH(QString, text);
        QFETCH(qreal, width);
        m_lines->setWidth(width);
        m_document->setPlainText(text);
        compareLines(*m_lines, *m_document);
        QVERIFY(m_lines->complete());
        QCOMPARE(m_lines->height(), m_lines->line(m_lines->count() - 1).y + m_lines->line(m_lines->count() - 1).height);
    }

    void linesStackWithoutGapsAndFindTheirPositions()
    {
        m_document->setPlainText(entries(500, 8) + QStringLiteral("\n\n") + entries(100, 9));
        linesOf(*m_lines);
        qreal y = 0;
        for (int i = 0; i < m_lines->count(); ++i) {
            const TextLines::Line& line = m_lines->line(i);
            QCOMPARE(line.y, y);
            y += line.height;
            QCOMPARE(m_lines->lineAtY(line.y + line.height / 2), i);
            QCOMPARE(m_lines->lineForPosition(line.start), i);
            // The end of a wrapped line is the next line's start; the end of a paragraph is its own.
            QCOMPARE(m_lines->lineForPosition(line.start + line.length), line.lastInBlock ? i : i + 1);
        }
        QCOMPARE(m_lines->lineAtY(-5), 0);
        QCOMPARE(m_lines->lineAtY(y + 100), m_lines->count() - 1);
    }

    // After any change the lines kept, the lines reused from after the change and the lines laid out
    // again must be the lines a fresh layout of the whole paragraph gives.
    void changesRelayOnlyWhatTheyTouchAndStayExact_data()
    {
        QTest::addColumn<int>("laidOutFirst");   // characters laid out before the changes begin
        QTest::newRow("everything laid out") << -1;
        QTest::newRow("only the top laid out") << 3000;
        QTest::newRow("nothing laid out") << 0;
        QTest::newRow("islands far from the top laid out") << -2;
    }
    void changesRelayOnlyWhatTheyTouchAndStayExact()
    {
        QFETCH(int, laidOutFirst);
        QRandomGenerator random(42);
        for (int round = 0; round < 40; ++round) {
            m_document->setPlainText(entries(1500, 100 + round));
            if (laidOutFirst == -1) {
                linesOf(*m_lines);
            } else if (laidOutFirst == -2) {
                m_lines->layoutToY(300);
                for (int jump = 0; jump < 3; ++jump)
                    m_lines->layoutToPosition(random.bounded(m_document->characterCount()));
            } else if (laidOutFirst > 0)
                m_lines->layoutSome(laidOutFirst);
            // Two changes before the layout catches up, so that lines waiting for reuse meet another
            // change too.
            for (int change = 0; change < 2; ++change) {
                const int length = m_document->characterCount() - 1;
                const int at = random.bounded(length + 1);
                switch (random.bounded(5)) {
                case 0:
                    insertAt(at, QStringLiteral(" Щ"));
                    break;
                case 1:
                    removeBetween(at, std::min(length, at + random.bounded(1, 40)));
                    break;
                case 2:
                    insertAt(at, QStringLiteral("\n"));
                    break;
                case 3: {
                    QTextCharFormat bold;
                    bold.setFontWeight(QFont::Bold);
                    bold.setFontPointSize(14);
                    insertAt(at, QStringLiteral("ЖИРНЫЙ ТЕКСТ"), bold);
                    break;
                }
                default:
                    insertAt(length, QStringLiteral(" Анна------Кино |"));
                    break;
                }
                if (random.bounded(2))
                    m_lines->layoutToY(random.bounded(2000));
            }
            QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
            compareLines(*m_lines, *m_document);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void aFormatOverARangeReflowsIt()
    {
        m_document->setPlainText(entries(600, 11));
        linesOf(*m_lines);
        QTextCursor cursor(m_document);
        cursor.setPosition(2000);
        cursor.setPosition(2600, QTextCursor::KeepAnchor);
        QTextCharFormat large;
        large.setFontPointSize(20);
        cursor.mergeCharFormat(large);
        compareLines(*m_lines, *m_document);
    }

    void theDefaultFontAndTheWidthReflowEverything()
    {
        m_document->setPlainText(entries(600, 12));
        linesOf(*m_lines);
        const int before = m_lines->count();
        m_document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 16));
        compareLines(*m_lines, *m_document);
        QVERIFY(m_lines->count() > before);
        m_lines->setWidth(900);
        compareLines(*m_lines, *m_document);
    }

    void anAppendAtTheEndReLaysOnlyTheLastLines()
    {
        m_document->setPlainText(entries(2000, 13));
        const QList<Span> before = linesOf(*m_lines);
        insertAt(m_document->characterCount() - 1, QStringLiteral(" Анна------Кино |"));
        // Only the end is open again: the last line and the two before it (which the new end could
        // reflow) go, the lines above stay laid out as they were.
        QVERIFY(!m_lines->complete());
        QCOMPARE(m_lines->count(), int(before.size()) - 3);
        for (int i = 0; i < m_lines->count(); ++i)
            QCOMPARE((Span{m_lines->line(i).start, m_lines->line(i).length}), before[i]);
        compareLines(*m_lines, *m_document);
    }

    void theHeightIsEstimatedUntilTheLinesAreComplete()
    {
        m_document->setPlainText(entries(5000, 14));
        m_lines->layoutToY(300);
        QVERIFY(!m_lines->complete());
        const qreal estimate = m_lines->height();
        linesOf(*m_lines);
        const qreal exact = m_lines->height();
        QVERIFY2(estimate > exact * 0.8 && estimate < exact * 1.25,
                 qPrintable(QStringLiteral("estimate %1, exact %2").arg(estimate).arg(exact)));
    }

    // After anything that drops the lines, the end of a long text is shown and its caret placed without
    // laying out the text above it; the lines laid out there become the exact ones once the layout from
    // the top reaches them.
    void theEndIsLaidOutWithoutTheTextAboveIt_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("reset");
        for (const char* shape : {"one paragraph", "many paragraphs", "formatted", "no blanks"})
            for (const char* reset : {"open", "width", "font"})
                QTest::addRow("%s, %s", shape, reset) << QString::fromLatin1(shape) << QString::fromLatin1(reset);
    }
    void theEndIsLaidOutWithoutTheTextAboveIt()
    {
        QFETCH(QString, shape);
        QFETCH(QString, reset);
        const QString text = shape == u"no blanks" ? QString(60000, u'Ж')
                             : shape == u"many paragraphs" ? entries(6000, 21).replace(u" |"_qs, u" |\n"_qs)
                                                          : entries(6000, 21);
        m_document->setPlainText(text);
        if (shape == u"formatted")
            formatEveryThird();
        m_lines->layoutToY(300);   // the top was shown
        if (reset == u"width")
            m_lines->setWidth(300);
        else if (reset == u"font")
            m_document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));

        const qint64 before = m_lines->charactersLaidOut();
        const int end = m_document->characterCount() - 1;
        m_lines->layoutToPosition(end);   // Ctrl+End places the caret
        const qreal bottom = m_lines->height();
        m_lines->layoutBetween(bottom - 400, bottom);   // and shows the end
        const qint64 laid = m_lines->charactersLaidOut() - before;
        QVERIFY2(laid < 20000, qPrintable(QStringLiteral("%1 characters laid out of %2").arg(laid).arg(end)));
        const int last = m_lines->lineForPosition(end);
        QVERIFY(last >= 0);
        QVERIFY(m_lines->line(last).y + m_lines->line(last).height <= m_lines->height() + 0.01);
        QCOMPARE(m_lines->lineAtY(m_lines->line(last).y + 1), last);
        // Lines asked for above the caret's line are laid out on from it, with nothing between.
        const int caretLineStart = m_lines->line(last).start;
        const int above = m_lines->lineFrom(last, -60);
        const int lastNow = m_lines->lineForPosition(caretLineStart);
        QVERIFY(above >= 0 && above <= lastNow);
        QCOMPARE(lastNow - above, std::min(60, lastNow));
        for (int i = above; i < lastNow; ++i) {
            const TextLines::Line line = m_lines->line(i);
            QCOMPARE(m_lines->line(i + 1).start, line.start + line.length + (line.lastInBlock ? 1 : 0));
            QCOMPARE(m_lines->line(i + 1).y, line.y + line.height);
        }
        compareLines(*m_lines, *m_document);
        QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
    }

    // A long paragraph's formats are read where lines are needed, in parts that grow; parts read in any
    // order join to what reading the paragraph whole gives, and the lines there wrap as they would.
    void partsOfALongParagraphJoinInAnyOrder_data()
    {
        QTest::addColumn<QList<double>>("places");   // where lines are asked for, as parts of the length
        QTest::newRow("start, then on") << QList<double>{0, 0.1, 0.3, 0.6, 1};
        QTest::newRow("end first") << QList<double>{1, 0.5, 0};
        QTest::newRow("middle, then around") << QList<double>{0.5, 0.45, 0.55, 0.2, 0.9};
    }
    void partsOfALongParagraphJoinInAnyOrder()
    {
        QFETCH(QList<double>, places);
        m_document->setPlainText(entries(3000, 35) + u"\n"_qs + entries(50, 36));
        formatEveryThird();
        m_lines->setWidth(300);
        const int length = m_document->firstBlock().length() - 1;
        for (double place : places) {
            const int position = int(place * length);
            m_lines->layoutToPosition(position);
            const int index = m_lines->lineForPosition(position);
            QVERIFY(index >= 0);
            QVERIFY(m_lines->shaped(index).lineCount() > 0);
        }
        QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
        compareLines(*m_lines, *m_document);
    }

    // A line may begin with a character shaped together with the one before it (a combining mark after a
    // tab); wherever a layout starts again, after a change, at a window's end or at an island, its lines
    // are those of the whole paragraph.
    void linesStartingWithAMarkWrapAsInTheWholeParagraph_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QString>("steps");   // i<position>:<text> inserts, l lays everything out, j<position> jumps
        QTest::newRow("a change lays out again from before a line that starts with a mark")
            << u"й\u0306Игa b"_qs << 20.0 << u"l i1:\t l i5:Иван"_qs;
        QTest::newRow("windows of a long paragraph")
            << u"Иван\t\u0306\u0306Игра \t\u0301Ж "_qs.repeated(3000) << 24.0 << u"l"_qs;
        QTest::newRow("an island in a long paragraph, then the top")
            << u"Иван\t\u0306\u0306Игра \t\u0301Ж "_qs.repeated(3000) << 24.0 << u"j40000 l"_qs;
    }
    void linesStartingWithAMarkWrapAsInTheWholeParagraph()
    {
        QFETCH(QString, text);
        QFETCH(qreal, width);
        QFETCH(QString, steps);
        m_lines->setWidth(width);
        m_document->setPlainText(text);
        for (const QString& step : steps.split(u' ')) {
            if (step == u"l") {
                linesOf(*m_lines);
            } else if (step.startsWith(u'j')) {
                m_lines->layoutToPosition(step.mid(1).toInt());
            } else {
                const qsizetype colon = step.indexOf(u':');
                insertAt(step.mid(1, colon - 1).toInt(), step.mid(colon + 1));
            }
        }
        compareLines(*m_lines, *m_document);
    }

    // Every kind of change leaves the format table as a reading of the whole document gives it.
    void theFormatTableFollowsEveryChange_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : {"type plain", "type formatted", "type inside a run", "remove across paragraphs",
                                   "remove between equal runs", "format a range", "clear a format",
                                   "undo a large change", "paste formatted text", "new paragraph inside a run",
                                   "default font", "default font, then a format", "whole text written anew"})
            QTest::newRow(change) << QString::fromLatin1(change);
    }
    void theFormatTableFollowsEveryChange()
    {
        QFETCH(QString, change);
        m_document->setPlainText(entries(400, 31) + u"\n"_qs + entries(300, 32));
        formatEveryThird();
        QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        const QList<QTextLayout::FormatRange> runs = m_lines->formatTable();
        const QTextLayout::FormatRange& run = runs[runs.size() / 2];
        QTextCursor cursor(m_document);
        if (change == u"type plain") {
            insertAt(run.start + run.length, u"Щ"_qs);
        } else if (change == u"type formatted") {
            insertAt(run.start + run.length + 1, u"Щ"_qs, run.format);
        } else if (change == u"type inside a run") {
            insertAt(run.start + 1, u"Щ"_qs, run.format);
        } else if (change == u"remove across paragraphs") {
            removeBetween(m_document->findBlock(0).length() - 40, m_document->findBlock(0).length() + 40);
        } else if (change == u"remove between equal runs") {
            removeBetween(run.start + run.length, runs[runs.size() / 2 + 1].start);
        } else if (change == u"format a range" || change == u"clear a format") {
            cursor.setPosition(run.start - 5);
            cursor.setPosition(run.start + run.length + 100, QTextCursor::KeepAnchor);
            if (change == u"format a range")
                cursor.mergeCharFormat(bold);
            else
                cursor.setCharFormat(QTextCharFormat());
        } else if (change == u"undo a large change") {
            cursor.setPosition(10);
            cursor.setPosition(m_document->characterCount() - 10, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
            m_document->undo();
        } else if (change == u"paste formatted text") {
            QTextDocument other;
            QTextCursor into(&other);
            into.insertText(entries(200, 33));
            into.setPosition(100);
            into.setPosition(3000, QTextCursor::KeepAnchor);
            into.mergeCharFormat(bold);
            cursor.setPosition(run.start + 2);
            cursor.insertFragment(QTextDocumentFragment(&other));
        } else if (change.startsWith(u"default font")) {
            QFont font(QStringLiteral("DejaVu Serif"), 14);
            font.setBold(true);
            m_document->setDefaultFont(font);
            if (change.endsWith(u"format")) {
                cursor.setPosition(run.start - 5);
                cursor.setPosition(run.start + 5, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(bold);
            }
        } else if (change == u"whole text written anew") {
            m_document->setHtml(u"<p>"_qs + entries(300, 34) + u"<b>Пётр</b></p>"_qs);
        } else {
            insertAt(run.start + 2, u"\n"_qs);
        }
        QCOMPARE(m_lines->formatTable(), m_lines->formatTableFromScratch());
        compareLines(*m_lines, *m_document);
    }

    void shapedLinesHoldTheirOwnText()
    {
        m_document->setPlainText(entries(200, 15));
        linesOf(*m_lines);
        for (int i = 0; i < m_lines->count(); i += 7) {
            const TextLines::Line& line = m_lines->line(i);
            const QTextLayout& shaped = m_lines->shaped(i);
            QCOMPARE(shaped.text(), m_lines->textBetween(line.start, line.start + line.length));
            QCOMPARE(shaped.lineCount(), 1);
            QVERIFY(shaped.lineAt(0).naturalTextWidth() <= m_lines->width() + 1
                    || shaped.text().endsWith(u' '));
        }
    }
};

QTEST_MAIN(TstTextLines)
#include "tst_textlines.moc"
