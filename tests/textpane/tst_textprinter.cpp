// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Progress.h"
#include "support/PdfPrinter.h"
#include "support/ScriptedServices.h"
#include "textpane/TextPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>

using namespace krambol;
using textpane::PrintOutcome;

using krambol::testing::pdfPrinter;

namespace {

QString entry(int i)
{
    return QStringLiteral("Иван%1 — Игра %2.04 |").arg(i).arg(1 + i % 28);
}

// Entries one per line: in one paragraph with line separators (what accepts build) or one paragraph each.
QString registerText(int entries, bool oneParagraph)
{
    QStringList lines;
    lines.reserve(entries);
    for (int i = 1; i <= entries; ++i)
        lines.append(entry(i));
    return lines.join(oneParagraph ? QChar(QChar::LineSeparator) : QChar(u'\n'));
}

std::unique_ptr<QTextDocument> document(const QString& text)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
    doc->setPlainText(text);
    return doc;
}

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// The text of each page of a PDF.
QStringList pdfPages(const QString& pdf)
{
    QString text = QString::fromUtf8(run(tool("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                             QStringLiteral("-")}));
    QStringList pages = text.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The words of every page with the page number at its foot taken off; fails when a page does not end in
// its number.
QString printedWords(const QString& pdf)
{
    const QStringList pages = pdfPages(pdf);
    QStringList words;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QStringList pageWords = pages[i].simplified().split(u' ', Qt::SkipEmptyParts);
        if (pageWords.isEmpty() || pageWords.takeLast() != QString::number(i + 1))
            return QStringLiteral("<page %1 does not end in its number>").arg(i + 1);
        words += pageWords;
    }
    return words.join(u' ');
}

struct Word
{
    QString text;
    int page;
    double x, y;
};

// Every word of a PDF with its page and place, as pdftotext -bbox reports them.
QList<Word> placedWords(const QString& pdf)
{
    const QString html = QString::fromUtf8(run(tool("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                                     QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<Word> words;
    int page = 0;
    for (const QRegularExpressionMatch& m : tag.globalMatch(html)) {
        if (m.captured(0) == QStringLiteral("<page "))
            ++page;
        else
            words.append({m.captured(3), page, m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

int pageCount(const QString& pdf)
{
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(QString::fromUtf8(run(tool("pdfinfo"), {pdf}))).captured(1).toInt();
}

} // namespace

// Printing a document of any size: every character, in order, on pages laid out as QTextDocument::print
// lays them out, in time linear in the text.
class TextPrinterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (tool("pdftotext").isEmpty() || tool("pdfinfo").isEmpty())
            QSKIP("pdftotext and pdfinfo (Debian package poppler-utils) are not installed");
        QVERIFY(m_dir.isValid());
        m_pdf = m_dir.filePath(QStringLiteral("register.pdf"));
        QFile::remove(m_pdf);
        m_progress = testing::ScriptedProgress();
    }

    void printsEveryCharacterInOrder_data();
    void printsEveryCharacterInOrder();
    void hundredThousandEntriesInOneParagraph();
    void pagesLookAsTheDocumentPrintsThem_data();
    void pagesLookAsTheDocumentPrintsThem();
    void formattedRunsKeepTheirFonts();
    void cancelStopsAtThePage_data();
    void cancelStopsAtThePage();
    void theWindowHandlesItsEventsWhilePagesAreMade_data() { shortAndLong(); }
    void theWindowHandlesItsEventsWhilePagesAreMade();
    void aChangeWhilePagesAreMadeFailsThePrint_data() { shortAndLong(); }
    void aChangeWhilePagesAreMadeFailsThePrint();
    void unwritableOutputIsNotStarted();

private:
    QTemporaryDir m_dir;
    QString m_pdf;
    testing::ScriptedProgress m_progress;

private:
    // A long text's pages are made on a thread of their own, a short one's on the window's.
    static void shortAndLong()
    {
        QTest::addColumn<int>("entries");
        QTest::newRow("long") << 3000;
        QTest::newRow("short") << 2000;
    }
};

void TextPrinterTest::printsEveryCharacterInOrder_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("oneParagraph");
    QTest::addColumn<int>("from");  // -1: everything
    QTest::addColumn<int>("to");
    QTest::newRow("empty") << 0 << true << -1 << -1;
    QTest::newRow("one entry") << 1 << true << -1 << -1;
    QTest::newRow("a few, one paragraph") << 5 << true << -1 << -1;
    QTest::newRow("a few, paragraphs") << 5 << false << -1 << -1;
    QTest::newRow("pages of them, one paragraph") << 3000 << true << -1 << -1;
    QTest::newRow("pages of them, paragraphs") << 3000 << false << -1 << -1;
    // Starts and ends inside words: the cut words are printed as cut.
    QTest::newRow("selection in the middle, one paragraph") << 3000 << true << 20011 << 61234;
    QTest::newRow("selection in the middle, paragraphs") << 3000 << false << 20011 << 61234;
}

void TextPrinterTest::printsEveryCharacterInOrder()
{
    QFETCH(int, entries);
    QFETCH(bool, oneParagraph);
    QFETCH(int, from);
    QFETCH(int, to);
    const QString text = registerText(entries, oneParagraph);
    const auto doc = document(text);
    const auto printer = pdfPrinter(m_pdf);
    if (from < 0) {
        from = 0;
        to = int(text.size());
    }

    QCOMPARE(textpane::printText(*doc, from, to, *printer, m_progress), PrintOutcome::Printed);

    QCOMPARE(printedWords(m_pdf), text.mid(from, to - from).simplified());
    // One step after each page but the last, each telling how far the printing has come.
    QCOMPARE(m_progress.starts, 1);
    QCOMPARE(m_progress.steps, to - from);
    QCOMPARE(m_progress.done.size(), pageCount(m_pdf) - 1);
    QVERIFY(std::is_sorted(m_progress.done.begin(), m_progress.done.end()));
    QVERIFY(!m_progress.open);
    if (entries >= 3000)
        QVERIFY(pageCount(m_pdf) > 10);
}

void TextPrinterTest::hundredThousandEntriesInOneParagraph()
{
    const QString text = registerText(100000, true);
    const auto doc = document(text);
    const auto printer = pdfPrinter(m_pdf);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(textpane::printText(*doc, 0, int(text.size()), *printer, m_progress), PrintOutcome::Printed);
    qInfo("100 000 entries printed in %lld ms", timer.elapsed());
    timer.start();
    QCOMPARE(printedWords(m_pdf), text.simplified());
    qInfo("checked in %lld ms", timer.elapsed());
}

void TextPrinterTest::pagesLookAsTheDocumentPrintsThem_data()
{
    QTest::addColumn<bool>("oneParagraph");
    QTest::addColumn<bool>("formatted");
    QTest::addColumn<bool>("paragraphFonts");
    QTest::newRow("one paragraph") << true << false << false;
    QTest::newRow("paragraphs") << false << false << false;
    QTest::newRow("formatted runs") << true << true << false;
    // Runs of paragraphs in one size, then in another; empty ones among them take their height from it.
    QTest::newRow("paragraphs of their own fonts") << false << false << true;
}

// The same words on the same pages at the same places (to half a point) as QTextDocument::print.
void TextPrinterTest::pagesLookAsTheDocumentPrintsThem()
{
    QFETCH(bool, oneParagraph);
    QFETCH(bool, formatted);
    QFETCH(bool, paragraphFonts);
    const auto doc = document(registerText(150, oneParagraph));
    if (paragraphFonts) {
        QTextCursor cursor(doc.get());
        for (int i = 0; i < 150; ++i) {
            if (i % 4 == 3)
                cursor.insertBlock();
            QTextCharFormat format;
            format.setFontPointSize(i / 3 % 2 ? 18 : 7);
            cursor.setBlockCharFormat(format);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
            cursor.movePosition(QTextCursor::NextBlock);
        }
    }
    if (formatted) {
        QTextCursor cursor(doc.get());
        for (int i = 0; i < 150; ++i) {
            cursor.setPosition(i * 200 % (doc->characterCount() - 40));
            cursor.setPosition(cursor.position() + 30, QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setFontWeight(i % 2 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(i % 3 == 0);
            format.setFontUnderline(i % 5 == 0);
            format.setFontPointSize(8 + i % 9);
            format.setForeground(QColor::fromHsv(i * 7 % 360, 200, 150));
            cursor.mergeCharFormat(format);
        }
    }
    const QString theirs = m_dir.filePath(QStringLiteral("theirs.pdf"));
    {
        const auto printer = pdfPrinter(theirs);
        doc->print(printer.get());
    }
    const auto printer = pdfPrinter(m_pdf);
    QCOMPARE(textpane::printText(*doc, 0, doc->characterCount() - 1, *printer, m_progress), PrintOutcome::Printed);

    const QList<Word> expected = placedWords(theirs);
    const QList<Word> printed = placedWords(m_pdf);
    QVERIFY(expected.size() > 150 * 4);
    QCOMPARE(printed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Word& a = printed[i];
        const Word& b = expected[i];
        if (a.text != b.text || a.page != b.page || std::abs(a.x - b.x) > 0.5 || std::abs(a.y - b.y) > 0.5)
            QFAIL(qPrintable(QStringLiteral("word %1: \"%2\" on page %3 at (%4, %5), QTextDocument::print has \"%6\" "
                                            "on page %7 at (%8, %9)")
                                 .arg(i).arg(a.text).arg(a.page).arg(a.x).arg(a.y)
                                 .arg(b.text).arg(b.page).arg(b.x).arg(b.y)));
    }
}

void TextPrinterTest::formattedRunsKeepTheirFonts()
{
    const auto doc = document(registerText(4, true));
    QTextCursor cursor(doc.get());
    const auto format = [&](int from, int to, auto&& set) {
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        set(f);
        cursor.mergeCharFormat(f);
    };
    const int line = int(entry(1).size()) + 1;
    format(0, line - 1, [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    format(line, 2 * line - 1, [](QTextCharFormat& f) { f.setFontItalic(true); });
    format(2 * line, 3 * line - 1, [](QTextCharFormat& f) {
        f.setFontFamilies({QStringLiteral("DejaVu Serif")});
        f.setFontPointSize(20);
    });
    const auto printer = pdfPrinter(m_pdf);
    QCOMPARE(textpane::printText(*doc, 0, doc->characterCount() - 1, *printer, m_progress), PrintOutcome::Printed);

    QCOMPARE(printedWords(m_pdf), registerText(4, true).simplified());
    const QString fonts = QString::fromUtf8(run(tool("pdffonts"), {m_pdf}));
    if (fonts.isEmpty())
        QSKIP("pdffonts is not installed");
    QVERIFY2(fonts.contains(QStringLiteral("Bold")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("Italic")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("Serif")), qPrintable(fonts));
}

void TextPrinterTest::cancelStopsAtThePage_data()
{
    QTest::addColumn<int>("entries");  // 3 000: made on a thread of their own; 2 000: on the window's
    QTest::addColumn<int>("atStep");   // Cancel answered at this page's step, or
    QTest::addColumn<int>("atPoll");   // at this poll while the window waits for a page
    QTest::addColumn<int>("pages");    // at most this many pages made
    QTest::newRow("after the third page") << 3000 << 3 << 0 << 3;
    QTest::newRow("while a page is made") << 3000 << 0 << 1 << 10;
    QTest::newRow("short text, after the third page") << 2000 << 3 << 0 << 3;
    QTest::newRow("short text, at a poll") << 2000 << 0 << 2 << 2;
}

// Cancel: no page after the one being made is made, and what was printed is still every character up to
// where it stopped.
void TextPrinterTest::cancelStopsAtThePage()
{
    QFETCH(int, entries);
    QFETCH(int, atStep);
    QFETCH(int, atPoll);
    QFETCH(int, pages);
    const QString text = registerText(entries, true);
    const auto doc = document(text);
    const auto printer = pdfPrinter(m_pdf);
    m_progress.cancelAtStep = atStep;
    m_progress.cancelAtPoll = atPoll;

    QCOMPARE(textpane::printText(*doc, 0, int(text.size()), *printer, m_progress), PrintOutcome::Cancelled);

    if (atStep > 0)
        QCOMPARE(m_progress.done.size(), atStep);
    QVERIFY(m_progress.done.size() <= pages);
    QVERIFY(!m_progress.open);
    if (QFile::exists(m_pdf) && QFile(m_pdf).size() > 0) {
        QVERIFY(pageCount(m_pdf) <= pages);
        QVERIFY(text.simplified().startsWith(printedWords(m_pdf)));
    }
}

// The window's own events are handled while the pages are made.
void TextPrinterTest::theWindowHandlesItsEventsWhilePagesAreMade()
{
    QFETCH(int, entries);
    const QString text = registerText(entries, true);
    const auto doc = document(text);
    const auto printer = pdfPrinter(m_pdf);
    QWidget window;
    platform::QtProgress progress(&window);
    bool printing = false;
    bool handledWhilePrinting = false;
    QTimer::singleShot(0, &window, [&] { handledWhilePrinting = printing; });

    printing = true;
    QCOMPARE(textpane::printText(*doc, 0, int(text.size()), *printer, progress), PrintOutcome::Printed);
    printing = false;

    QVERIFY(handledWhilePrinting);
    QCOMPARE(printedWords(m_pdf), text.simplified());
}

// Should the text change while the window handles its events, the print stops and says it failed rather
// than print parts that do not fit together.
void TextPrinterTest::aChangeWhilePagesAreMadeFailsThePrint()
{
    QFETCH(int, entries);
    const auto doc = document(registerText(entries, true));
    doc->documentLayout();   // as a pane's document, it tells its changes
    const auto printer = pdfPrinter(m_pdf);
    QWidget window;
    platform::QtProgress progress(&window);
    QTimer::singleShot(0, &window, [&] { QTextCursor(doc.get()).insertText(QStringLiteral("Новое ")); });

    QCOMPARE(textpane::printText(*doc, 0, doc->characterCount() - 1, *printer, progress), PrintOutcome::Failed);
}

void TextPrinterTest::unwritableOutputIsNotStarted()
{
    const auto doc = document(registerText(3, true));
    const auto printer = pdfPrinter(m_dir.filePath(QStringLiteral("no such folder/register.pdf")));
    QCOMPARE(textpane::printText(*doc, 0, doc->characterCount() - 1, *printer, m_progress), PrintOutcome::NotStarted);
    QCOMPARE(m_progress.starts, 0);
}

QTEST_MAIN(TextPrinterTest)
#include "tst_textprinter.moc"
