// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/TextPrinter.h"

#include "platform/Progress.h"

#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace krambol::textpane {

namespace {

// Characters laid out at once. Every line of a piece but its last, which the piece's end may have cut,
// is printed; the next piece starts where that last line did. The breaks are those of the paragraph
// laid out whole.
constexpr int kPiece = 2048;

// The margins QTextDocument::print puts around a document of its own: 2 cm, reckoned in whole pixels
// of a 96-dpi screen and scaled to the printer.
constexpr qreal kMarginPixels = int(2 / 2.54 * 96);
constexpr qreal kScreenDpi = 96;

QString pageLabel(int page)
{
    return QStringLiteral("Печатается страница %1…").arg(page);
}

class PageWriter
{
public:
    PageWriter(const QTextDocument& document, int from, QPrinter& printer, QPainter& painter, Progress& progress)
        : m_document(document)
        , m_from(from)
        , m_printer(printer)
        , m_painter(painter)
        , m_progress(progress)
        , m_scaleX(printer.logicalDpiX() / kScreenDpi)
        , m_scaleY(printer.logicalDpiY() / kScreenDpi)
        , m_left(kMarginPixels * m_scaleX)
        , m_top(kMarginPixels * m_scaleY)
        , m_width(printer.width() - 2 * m_left)
        , m_bottom(printer.height() - m_top)
        , m_y(m_top)
        , m_option(document.defaultTextOption())
    {
        m_option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_option.setTabStopDistance(m_option.tabStopDistance() * m_scaleX);
    }

    // Prints the characters from `start` to `end` (positions in the block) of one paragraph.
    bool paragraph(const QTextBlock& block, int start, int end);
    // Ends the last page.
    void finish() { drawPageNumber(); }
    PrintOutcome outcome() const { return m_outcome; }

private:
    bool place(const QTextLine& line, int next);
    bool newPage(int next);
    void drawPageNumber();

    const QTextDocument& m_document;
    const int m_from;
    QPrinter& m_printer;
    QPainter& m_painter;
    Progress& m_progress;
    const qreal m_scaleX;
    const qreal m_scaleY;
    const qreal m_left;
    const qreal m_top;
    const qreal m_width;
    const qreal m_bottom;
    qreal m_y;
    QTextOption m_option;
    int m_fontFormat = -1;
    QFont m_font;
    int m_page = 1;
    PrintOutcome m_outcome = PrintOutcome::Printed;
};

bool PageWriter::paragraph(const QTextBlock& block, int start, int end)
{
    const QString text = block.text();
    const QList<QTextLayout::FormatRange> formats = block.textFormats();
    // Paragraphs of one format share one font, whose engines are then looked up once.
    if (block.charFormatIndex() != m_fontFormat) {
        m_fontFormat = block.charFormatIndex();
        m_font = QFont(block.charFormat().font(), &m_printer);
    }
    const QFont& font = m_font;
    QTextOption option = m_option;
    option.setAlignment(block.blockFormat().alignment());
    option.setTextDirection(block.textDirection());

    qsizetype first = 0;  // the first format that may reach into the piece
    int at = start;
    int piece = kPiece;
    for (;;) {
        const int stop = std::min<qint64>(end, qint64(at) + piece);
        QTextLayout layout(text.mid(at, stop - at), font, &m_printer);
        while (first < formats.size() && formats[first].start + formats[first].length <= at)
            ++first;
        QList<QTextLayout::FormatRange> runs;
        for (qsizetype i = first; i < formats.size() && formats[i].start < stop; ++i) {
            const int runStart = std::max(formats[i].start, at);
            const int runEnd = std::min(formats[i].start + formats[i].length, stop);
            if (runStart < runEnd)
                runs.append({runStart - at, runEnd - runStart, formats[i].format});
        }
        layout.setFormats(runs);
        layout.setTextOption(option);
        // Keeps the glyphs the line breaking shaped for drawing the lines.
        layout.setCacheEnabled(true);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(m_width);
        layout.endLayout();

        int keep = layout.lineCount();
        if (stop < end) {
            // A piece that is all one line may end inside it: take a longer piece.
            if (keep < 2) {
                piece *= 2;
                continue;
            }
            --keep;
        }
        for (int i = 0; i < keep; ++i) {
            const QTextLine line = layout.lineAt(i);
            if (!place(line, block.position() + at + line.textStart()))
                return false;
        }
        if (stop == end)
            return true;
        at += layout.lineAt(keep).textStart();
        piece = kPiece;
    }
}

// Draws a line below the previous one, on a new page when it does not fit on this one (unless the
// page is empty: a line taller than a page stays, as in a document's own layout). `next` is the
// document position of the line's first character.
bool PageWriter::place(const QTextLine& line, int next)
{
    if (m_y > m_top && m_y + line.height() > m_bottom && !newPage(next))
        return false;
    line.draw(&m_painter, QPointF(m_left, m_y) - line.position());
    m_y += std::ceil(line.ascent() + line.descent() + line.leading());
    return true;
}

bool PageWriter::newPage(int next)
{
    drawPageNumber();
    if (!m_progress.advance(next - m_from, pageLabel(m_page + 1))) {
        m_outcome = PrintOutcome::Cancelled;
        return false;
    }
    if (!m_printer.newPage()) {
        m_outcome = PrintOutcome::Failed;
        return false;
    }
    ++m_page;
    m_y = m_top;
    return true;
}

// The page number at the right margin, just below the bottom one, in the document's font.
void PageWriter::drawPageNumber()
{
    m_painter.save();
    m_painter.setFont(m_document.defaultFont());
    const QFontMetricsF metrics = m_painter.fontMetrics();
    const QString number = QString::number(m_page);
    const qreal x = m_printer.width() - m_left - metrics.horizontalAdvance(number);
    const qreal y = m_bottom + metrics.ascent() + 5 * m_printer.logicalDpiY() / 72.0;
    m_painter.drawText(QPointF(std::round(x), std::round(y)), number);
    m_painter.restore();
}

} // namespace

PrintOutcome printText(const QTextDocument& document, int from, int to, QPrinter& printer, Progress& progress)
{
    const int last = document.characterCount() - 1;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);

    // A printer without margins gets 2 mm, as QTextDocument::print gives it.
    if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull())
        printer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::NotStarted;

    progress.start(pageLabel(1), to - from);
    PageWriter pages(document, from, printer, painter, progress);
    bool going = true;
    for (QTextBlock block = document.findBlock(from); going && block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = std::max(from, block.position());
        const int end = std::min(to, block.position() + block.length() - 1);
        going = pages.paragraph(block, start - block.position(), end - block.position());
    }
    if (going)
        pages.finish();
    progress.finish();

    PrintOutcome outcome = pages.outcome();
    if (outcome == PrintOutcome::Cancelled)
        printer.abort();
    if (!painter.end() && outcome == PrintOutcome::Printed)
        outcome = PrintOutcome::Failed;
    if (outcome == PrintOutcome::Printed && printer.printerState() == QPrinter::Error)
        outcome = PrintOutcome::Failed;
    return outcome;
}

} // namespace krambol::textpane
