// SPDX-License-Identifier: GPL-3.0-or-later
// Plays arbitrary edit scripts on a document whose lines the register pane keeps window by window: after
// every script the lines must be exactly those the pane lays out afresh, and those of a whole-paragraph
// layout (see below), whatever was laid out, reused or left for later in between, and the table of formats
// must be what a reading of the whole document gives.
#include "support/WholeParagraphLines.h"
#include "textpane/TextLines.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Short pieces of text the edits insert: words, spaces, a long word, a paragraph break, odd characters.
const char16_t* const kPieces[] = {u"Иван", u"------", u" |", u" ", u"Игра с длинным названием", u"\n",
                                   u"ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ",
                                   u"\t", u"😀", u"й̆", u"\u00a0", u"a b c d e f g h"};

struct Reader
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool more() const { return at < size; }
    int next() { return at < size ? data[at++] : 0; }
    int next16() { return next() | next() << 8; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using krambol::textpane::TextLines;
    static const bool trace = qEnvironmentVariableIsSet("KRAMBOL_FUZZ_TRACE");
    Reader in{data, size};
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 8 + in.next() % 8));
    TextLines lines(document);
    lines.setWidth(20 + in.next16() % 1200);

    QString start;
    for (int i = 0, n = in.next() * 4; i < n; ++i)
        start += QString::fromUtf16(kPieces[in.next() % std::size(kPieces)]);
    document.setPlainText(start);

    for (int step = 0; in.more() && step < 64; ++step) {
        const int length = document.characterCount() - 1;
        const int at = length > 0 ? in.next16() % (length + 1) : 0;
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        cursor.setPosition(at);
        const int op = in.next() % 9;
        if (trace)
            std::fprintf(stderr, "step %d: op %d at %d of %d; lines %d done %d\n", step, op, at, length, lines.count(),
                         lines.complete());
        switch (op) {
        case 0:
        case 1:
            cursor.insertText(QString::fromUtf16(kPieces[in.next() % std::size(kPieces)]));
            break;
        case 2:
            cursor.setPosition(std::min(length, at + in.next()), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        case 3: {
            QTextCharFormat format;
            format.setFontPointSize(6 + in.next() % 30);
            format.setFontWeight(in.next() % 2 ? QFont::Bold : QFont::Normal);
            cursor.setPosition(std::min(length, at + in.next()), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
            break;
        }
        case 4:
            lines.layoutSome(in.next() * 16);
            break;
        case 5:
            lines.layoutToY(in.next16() % 4000);
            break;
        case 6:
            lines.setWidth(20 + in.next16() % 1200);
            break;
        case 7:
            lines.layoutToPosition(at);
            break;
        default:
            lines.layoutToPosition(at);
            if (const int index = lines.lineForPosition(at); index >= 0)
                lines.lineFrom(index, in.next() - 128);
            break;
        }
        cursor.endEditBlock();
        if (trace) {
            std::fprintf(stderr, "  text: %s\n  lines:", qPrintable(document.toPlainText()));
            for (int i = 0; i < lines.count(); ++i)
                std::fprintf(stderr, " %d+%d", lines.line(i).start, lines.line(i).length);
            std::fprintf(stderr, "\n");
        }
    }

    while (lines.layoutSome(1 << 20)) {
    }
    if (lines.formatTable() != lines.formatTableFromScratch()) {
        std::fprintf(stderr, "the format table differs from a reading of the whole document\n");
        std::abort();
    }
    if (trace) {
        std::fprintf(stderr, "width %g, text: %s\n", lines.width(), qPrintable(document.toPlainText()));
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                std::fprintf(stderr, "  fragment %d+%d size %g weight %d\n", it.fragment().position(),
                             it.fragment().length(), it.fragment().charFormat().fontPointSize(),
                             it.fragment().charFormat().fontWeight());
    }
    // The lines must be those the same layout gives laid out afresh from the top, and, where Qt lays out
    // each paragraph as one (no paragraph longer than the 4096 characters at which it cuts its runs of
    // text, where a run of blanks can wrap otherwise), those of a layout of each paragraph whole.
    const auto compare = [&](const QList<krambol::testing::LineSpan>& expected, const char* what) {
        qreal y = 0;
        for (int i = 0; i < std::max<int>(lines.count(), int(expected.size())); ++i) {
            const bool same = i < lines.count() && i < expected.size() && lines.line(i).start == expected[i].start
                              && lines.line(i).length == expected[i].length && lines.line(i).y == y;
            if (!same) {
                std::fprintf(stderr, "line %d of %d/%d differs: ours %d+%d at %g, %s %d+%d at %g\n", i, lines.count(),
                             int(expected.size()), i < lines.count() ? lines.line(i).start : -1,
                             i < lines.count() ? lines.line(i).length : -1, i < lines.count() ? lines.line(i).y : -1,
                             what, i < expected.size() ? expected[i].start : -1,
                             i < expected.size() ? expected[i].length : -1, y);
                std::abort();
            }
            y += lines.line(i).height;
        }
    };
    const std::unique_ptr<QTextDocument> copy(document.clone());
    TextLines afresh(*copy);
    afresh.setWidth(lines.width());
    while (afresh.layoutSome(1 << 20)) {
    }
    QList<krambol::testing::LineSpan> spans;
    for (int i = 0; i < afresh.count(); ++i)
        spans.append({afresh.line(i).start, afresh.line(i).length});
    compare(spans, "laid out afresh");
    bool shortParagraphs = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        shortParagraphs = shortParagraphs && block.length() <= 4096;
    if (shortParagraphs)
        compare(krambol::testing::wholeParagraphLines(document, lines.width()), "whole paragraph");
    return 0;
}
