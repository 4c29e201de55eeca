// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/TextPrinter.h"

#include "platform/Progress.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace krambol::textpane {

namespace {

// Characters laid out at once. Every line of a piece but its last, which the piece's end may have cut,
// is printed; the next piece starts where that last line did. The breaks are those of the paragraph
// laid out whole.
constexpr int kPiece = 2048;

// Characters of a paragraph the window's thread copies at once for the printing thread, and how far it
// copies ahead of the printing.
constexpr int kPart = 16384;
constexpr qint64 kAhead = 4 * kPart;

// How long the window's thread copies or waits before it handles its events again.
constexpr std::chrono::milliseconds kBreath(4);

// Characters printed on the window's own thread, a page between two of its events: the fonts it has
// already loaded serve, where a thread of their own would first load every one of them again.
constexpr int kHere = 65536;

// The margins QTextDocument::print puts around a document of its own: 2 cm, reckoned in whole pixels
// of a 96-dpi screen and scaled to the printer.
constexpr qreal kMarginPixels = int(2 / 2.54 * 96);
constexpr qreal kScreenDpi = 96;

// The PDF engine takes two 10 MB buffers to compress each page it ends, and frees them again. glibc
// hands the top of a thread's heap back to the system once it grows past a threshold that follows the
// largest block freed so far: each page then gave 32 MB back (an madvise that stops every core the
// process runs on, to flush their address caches) and faulted it in again for the next one, a fifth of
// a long print's time. While the pages are made the thresholds stay above those buffers; afterwards
// they are those the first print would have left.
class HeapForPages
{
public:
    HeapForPages()
    {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, kLargest);
        mallopt(M_TRIM_THRESHOLD, 2 * kLargest);
#endif
    }
    ~HeapForPages()
    {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, kAfter);
        mallopt(M_TRIM_THRESHOLD, 2 * kAfter);
#endif
    }
    HeapForPages(const HeapForPages&) = delete;
    HeapForPages& operator=(const HeapForPages&) = delete;

private:
    // The largest block glibc lets come from a heap rather than a mapping of its own, and the
    // threshold the engine's buffers set when freed.
    static constexpr int kLargest = 32 * 1024 * 1024;
    static constexpr int kAfter = 16 * 1024 * 1024;
};

QString pageLabel(int page)
{
    return QStringLiteral("Печатается страница %1…").arg(page);
}

// A copy of a format that shares nothing with the document's, for the printing thread: a format works
// out its font when asked and keeps it, whichever thread asks. The document's formats keep a font
// resolved against the document's; the copy holds that font as properties of its own.
QTextCharFormat ownCopy(const QTextCharFormat& format)
{
    QTextCharFormat copy;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        copy.setProperty(it.key(), it.value());
    copy.setFont(format.font(), QTextCharFormat::FontPropertiesAll);
    return copy;
}

// The same for a font, whose engines it caches for the thread that draws with it.
QFont ownCopy(const QFont& font)
{
    QFont copy;
    copy.fromString(font.toString());
    copy.setFamilies(font.families());
    return copy;
}

// A stretch of one paragraph, copied out of the document for the printing thread.
struct Part
{
    int position = 0;   // in the document, of the first character
    QString text;
    QList<QTextLayout::FormatRange> formats;   // counted from the first character
    bool endsParagraph = false;
    // The paragraph's look, given with its first part.
    bool startsParagraph = false;
    int formatIndex = -1;
    QTextCharFormat format;
    QTextOption option;
};

// Copies the paragraphs of [from, to) part after part, on the window's thread.
class PartReader
{
public:
    PartReader(const QTextDocument& document, int from, int to)
        : m_document(document)
        , m_to(to)
        , m_option(document.defaultTextOption())
        , m_block(document.findBlock(from))
        , m_at(from)
    {
        if (m_block.isValid())
            m_fragment = m_block.begin();
    }

    bool done() const { return !m_block.isValid() || m_block.position() > m_to; }
    Part next();

private:
    const QTextCharFormat& format(int index, const QTextCharFormat& documents);

    const QTextDocument& m_document;
    const int m_to;
    const QTextOption m_option;
    QTextBlock m_block;
    QTextBlock::iterator m_fragment;
    int m_at;   // the next character to copy
    bool m_newBlock = true;
    QHash<int, QTextCharFormat> m_formats;
};

const QTextCharFormat& PartReader::format(int index, const QTextCharFormat& documents)
{
    auto it = m_formats.find(index);
    if (it == m_formats.end())
        it = m_formats.insert(index, ownCopy(documents));
    return *it;
}

Part PartReader::next()
{
    Part part;
    const int blockStart = m_block.position();
    const int blockEnd = std::min(m_to, blockStart + m_block.length() - 1);
    part.position = m_at;
    part.startsParagraph = m_newBlock;
    m_newBlock = false;
    if (part.startsParagraph) {
        part.formatIndex = m_block.charFormatIndex();
        part.format = format(part.formatIndex, m_block.charFormat());
        part.option = m_option;
        part.option.setAlignment(m_block.blockFormat().alignment());
        part.option.setTextDirection(m_block.textDirection());
    }
    const int end = std::min(blockEnd, m_at + kPart);
    if (end > m_at) {
        if (m_block.length() - 1 <= kPart) {
            part.text = m_block.text().mid(m_at - blockStart, end - m_at);
        } else {
            // Inside an edit block a cursor does not ask the document's layout where its line is.
            QTextCursor cursor(const_cast<QTextDocument*>(&m_document));
            cursor.beginEditBlock();
            cursor.setPosition(m_at);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.endEditBlock();
            part.text = cursor.selectedText();
        }
        // The fragments across the part, each with its format; the iterator stays at the last one, which
        // may reach into the next part.
        int lastIndex = -1;
        for (; !m_fragment.atEnd(); ++m_fragment) {
            const QTextFragment fragment = m_fragment.fragment();
            const int start = std::max(fragment.position(), m_at);
            const int stop = std::min(fragment.position() + fragment.length(), end);
            if (start < stop) {
                // Fragments of one format that follow each other are one range.
                const int index = fragment.charFormatIndex();
                if (index == lastIndex)
                    part.formats.back().length += stop - start;
                else
                    part.formats.append({start - m_at, stop - start, format(index, fragment.charFormat())});
                lastIndex = index;
            }
            if (fragment.position() + fragment.length() > end)
                break;
        }
    }
    m_at = end;
    if (end >= blockEnd) {
        part.endsParagraph = true;
        m_block = m_block.next();
        m_newBlock = true;
        if (m_block.isValid()) {
            m_at = m_block.position();
            m_fragment = m_block.begin();
        }
    }
    return part;
}

// Between the window's thread and the printing thread: the parts copied, and at each new page the
// question whether to go on, which the window's thread answers through the progress indicator.
struct Channel
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Part> parts;
    qint64 queued = 0;   // characters in parts
    bool allSent = false;
    bool stopped = false;   // the user asked to stop
    bool began = false;
    bool opened = false;
    bool asking = false;   // the printing thread waits for an answer
    int askedDone = 0;
    int askedPage = 0;
    bool answered = false;
    bool goOn = true;
    bool finished = false;
    PrintOutcome outcome = PrintOutcome::Printed;
};

// Lays out the paragraphs it is given and draws them page after page. Before each new page it asks
// whether to go on, telling how many characters are printed and which page comes.
using AskToGoOn = std::function<bool(int done, int page)>;

class PageWriter
{
public:
    PageWriter(AskToGoOn ask, int from, QPrinter& printer, QPainter& painter, const QFont& pageFont)
        : m_ask(std::move(ask))
        , m_from(from)
        , m_printer(printer)
        , m_painter(painter)
        , m_pageFont(pageFont)
        , m_scaleX(printer.logicalDpiX() / kScreenDpi)
        , m_scaleY(printer.logicalDpiY() / kScreenDpi)
        , m_left(kMarginPixels * m_scaleX)
        , m_top(kMarginPixels * m_scaleY)
        , m_width(printer.width() - 2 * m_left)
        , m_bottom(printer.height() - m_top)
        , m_y(m_top)
    {
    }

    // Takes the next part of a paragraph and prints what of it can be printed; false once the printing
    // stops.
    bool take(Part&& part);
    // Ends the last page.
    void finish() { drawPageNumber(); }
    PrintOutcome outcome() const { return m_outcome; }

private:
    bool print();
    bool place(const QTextLine& line, int next);
    bool newPage(int next);
    void drawPageNumber();

    const AskToGoOn m_ask;
    const int m_from;
    QPrinter& m_printer;
    QPainter& m_painter;
    const QFont m_pageFont;
    const qreal m_scaleX;
    const qreal m_scaleY;
    const qreal m_left;
    const qreal m_top;
    const qreal m_width;
    const qreal m_bottom;
    qreal m_y;
    int m_page = 1;
    PrintOutcome m_outcome = PrintOutcome::Printed;

    // The paragraph being printed: the text not yet printed, its formats and its look.
    int m_position = 0;
    QString m_text;
    QList<QTextLayout::FormatRange> m_formats;
    bool m_complete = false;
    QTextOption m_option;
    // Paragraphs of one format share one font, whose engines are then looked up once.
    int m_fontFormat = -1;
    QFont m_font;
};

bool PageWriter::take(Part&& part)
{
    if (part.startsParagraph) {
        m_position = part.position;
        m_text = std::move(part.text);
        m_formats = std::move(part.formats);
        if (part.formatIndex != m_fontFormat) {
            m_fontFormat = part.formatIndex;
            m_font = QFont(part.format.font(), &m_printer);
        }
        m_option = part.option;
        m_option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_option.setTabStopDistance(m_option.tabStopDistance() * m_scaleX);
    } else {
        const int shift = int(m_text.size());
        m_text += part.text;
        for (QTextLayout::FormatRange& range : part.formats) {
            range.start += shift;
            m_formats.append(std::move(range));
        }
    }
    m_complete = part.endsParagraph;
    return print();
}

// Prints the lines of the paragraph's text that no later text can change: all of them once the
// paragraph is complete.
bool PageWriter::print()
{
    qsizetype first = 0;   // the first format that may reach into the piece
    int at = 0;
    int piece = kPiece;
    const int end = int(m_text.size());
    for (;;) {
        const int stop = std::min<qint64>(end, qint64(at) + piece);
        const bool last = m_complete && stop == end;
        if (!last && stop == end && end - at < piece)
            break;   // wait for more of the paragraph
        QTextLayout layout(m_text.mid(at, stop - at), m_font, &m_printer);
        while (first < m_formats.size() && m_formats[first].start + m_formats[first].length <= at)
            ++first;
        QList<QTextLayout::FormatRange> runs;
        for (qsizetype i = first; i < m_formats.size() && m_formats[i].start < stop; ++i) {
            const int runStart = std::max(m_formats[i].start, at);
            const int runEnd = std::min(m_formats[i].start + m_formats[i].length, stop);
            if (runStart < runEnd)
                runs.append({runStart - at, runEnd - runStart, m_formats[i].format});
        }
        layout.setFormats(runs);
        layout.setTextOption(m_option);
        // Keeps the glyphs the line breaking shaped for drawing the lines.
        layout.setCacheEnabled(true);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(m_width);
        layout.endLayout();

        int keep = layout.lineCount();
        if (!last) {
            // A piece that is all one line may end inside it: take a longer piece.
            if (keep < 2) {
                if (stop == end)
                    break;
                piece *= 2;
                continue;
            }
            --keep;
        }
        for (int i = 0; i < keep; ++i) {
            const QTextLine line = layout.lineAt(i);
            if (!place(line, m_position + at + line.textStart()))
                return false;
        }
        if (last) {
            m_text.clear();
            m_formats.clear();
            return true;
        }
        at += layout.lineAt(keep).textStart();
        piece = kPiece;
    }
    // What was printed goes; the formats of the rest count from its start.
    m_text.remove(0, at);
    m_position += at;
    QList<QTextLayout::FormatRange> rest;
    for (qsizetype i = first; i < m_formats.size(); ++i) {
        QTextLayout::FormatRange& range = m_formats[i];
        const int end = range.start + range.length;
        if (end <= at)
            continue;
        range.start = std::max(range.start - at, 0);
        range.length = end - at - range.start;
        rest.append(std::move(range));
    }
    m_formats = std::move(rest);
    return true;
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
    if (!m_ask(next - m_from, m_page + 1)) {
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
    m_painter.setFont(m_pageFont);
    const QFontMetricsF metrics = m_painter.fontMetrics();
    const QString number = QString::number(m_page);
    const qreal x = m_printer.width() - m_left - metrics.horizontalAdvance(number);
    const qreal y = m_bottom + metrics.ascent() + 5 * m_printer.logicalDpiY() / 72.0;
    m_painter.drawText(QPointF(std::round(x), std::round(y)), number);
    m_painter.restore();
}

// Ends the pages, or throws them away when the print stopped short of its end.
PrintOutcome endPrint(PageWriter& pages, bool complete, QPrinter& printer, QPainter& painter)
{
    if (complete)
        pages.finish();
    PrintOutcome outcome = pages.outcome();
    if (outcome == PrintOutcome::Printed && !complete)
        outcome = PrintOutcome::Cancelled;
    if (outcome == PrintOutcome::Cancelled)
        printer.abort();
    if (!painter.end() && outcome == PrintOutcome::Printed)
        outcome = PrintOutcome::Failed;
    if (outcome == PrintOutcome::Printed && printer.printerState() == QPrinter::Error)
        outcome = PrintOutcome::Failed;
    return outcome;
}

// The printing thread: opens the printer, prints the parts as they come and ends the print.
void printParts(Channel& channel, int from, QPrinter& printer, const QFont& pageFont)
{
    QPainter painter;
    const bool opened = painter.begin(&printer);
    {
        std::lock_guard lock(channel.mutex);
        channel.began = true;
        channel.opened = opened;
        channel.finished = !opened;
        channel.outcome = PrintOutcome::NotStarted;
        channel.changed.notify_all();
    }
    if (!opened)
        return;

    PageWriter pages(
        [&channel](int done, int page) {
            std::unique_lock lock(channel.mutex);
            channel.asking = true;
            channel.askedDone = done;
            channel.askedPage = page;
            channel.changed.notify_all();
            channel.changed.wait(lock, [&channel] { return channel.answered; });
            channel.answered = false;
            return channel.goOn;
        },
        from, printer, painter, pageFont);
    bool going = true;
    std::vector<Part> taken;
    while (going) {
        {
            std::unique_lock lock(channel.mutex);
            channel.changed.wait(lock, [&] { return !channel.parts.empty() || channel.allSent; });
            if (channel.stopped) {
                going = false;
                break;
            }
            if (channel.parts.empty())
                break;
            taken.swap(channel.parts);
            channel.queued = 0;
            channel.changed.notify_all();
        }
        for (Part& part : taken) {
            if (!pages.take(std::move(part))) {
                going = false;
                break;
            }
        }
        taken.clear();
    }

    const PrintOutcome outcome = endPrint(pages, going, printer, painter);
    std::lock_guard lock(channel.mutex);
    channel.finished = true;
    channel.outcome = outcome;
    channel.changed.notify_all();
}

// A short text, printed on the window's thread from a copy made at once.
PrintOutcome printHere(const QTextDocument& document, int from, int to, QPrinter& printer, Progress& progress)
{
    std::vector<Part> parts;
    for (PartReader reader(document, from, to); !reader.done();)
        parts.push_back(reader.next());
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::NotStarted;

    progress.start(pageLabel(1), to - from);
    bool changed = false;
    const QMetaObject::Connection watch =
        QObject::connect(&document, &QTextDocument::contentsChange, [&changed] { changed = true; });
    PageWriter pages(
        [&](int done, int page) { return progress.advance(done, pageLabel(page)) && progress.poll() && !changed; },
        from, printer, painter, QFont(document.defaultFont(), &printer));
    bool complete = true;
    for (Part& part : parts) {
        if (!pages.take(std::move(part))) {
            complete = false;
            break;
        }
    }
    const PrintOutcome outcome = endPrint(pages, complete, printer, painter);
    QObject::disconnect(watch);
    progress.finish();
    return changed ? PrintOutcome::Failed : outcome;
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

    const HeapForPages heap;
    if (to - from <= kHere)
        return printHere(document, from, to, printer, progress);

    // The pages are laid out and drawn on a thread of their own, from copies of the paragraphs this
    // thread hands it a part at a time; this thread stays free for its events, and answers at each new
    // page whether to go on. The fonts given are made for the printer here and used only there.
    Channel channel;
    const QFont pageFont(ownCopy(document.defaultFont()), &printer);
    std::thread printing(printParts, std::ref(channel), from, std::ref(printer), pageFont);
    {
        std::unique_lock lock(channel.mutex);
        channel.changed.wait(lock, [&] { return channel.began; });
    }
    if (!channel.opened) {
        printing.join();
        return PrintOutcome::NotStarted;
    }

    progress.start(pageLabel(1), to - from);
    PartReader reader(document, from, to);
    // While the window handles its events nothing should change the text being printed; should anything
    // do so, the parts copied from then on would not fit those before, and the print stops as failed.
    // A document tells its changes of text and format so once it has a layout, as a pane's has.
    bool changed = false;
    const QMetaObject::Connection watch =
        QObject::connect(&document, &QTextDocument::contentsChange, [&changed] { changed = true; });
    bool stopping = false;
    QElapsedTimer sincePoll;
    sincePoll.start();
    for (;;) {
        QElapsedTimer copying;
        copying.start();
        while (!stopping && !changed && !reader.done() && copying.elapsed() < kBreath.count()) {
            {
                // A question waits for nothing else.
                std::lock_guard lock(channel.mutex);
                if (channel.queued >= kAhead || channel.asking)
                    break;
            }
            std::vector<Part> batch;
            qint64 size = 0;
            while (size < kPart && !reader.done()) {
                batch.push_back(reader.next());
                size += batch.back().text.size() + 1;
            }
            std::lock_guard lock(channel.mutex);
            channel.queued += size;
            channel.parts.insert(channel.parts.end(), std::make_move_iterator(batch.begin()),
                                 std::make_move_iterator(batch.end()));
            channel.changed.notify_all();
        }
        bool asked = false;
        int done = 0;
        int page = 0;
        {
            std::unique_lock lock(channel.mutex);
            if (reader.done() || stopping) {
                channel.allSent = true;
                channel.changed.notify_all();
            }
            channel.changed.wait_for(lock, kBreath, [&] {
                return channel.asking || channel.finished
                       || (!stopping && !reader.done() && channel.queued < kAhead);
            });
            if (channel.asking) {
                asked = true;
                done = channel.askedDone;
                page = channel.askedPage;
                channel.asking = false;
            } else if (channel.finished) {
                break;
            }
        }
        if (asked) {
            const bool goOn = !stopping && progress.advance(done, pageLabel(page));
            stopping = !goOn;
            std::lock_guard lock(channel.mutex);
            channel.goOn = goOn;
            channel.answered = true;
            channel.changed.notify_all();
        }
        // The window's events, however quickly the pages come.
        if (!asked || sincePoll.elapsed() >= kBreath.count()) {
            sincePoll.start();
            if (!stopping && (!progress.poll() || changed)) {
                stopping = true;
                std::lock_guard lock(channel.mutex);
                channel.stopped = true;
                channel.changed.notify_all();
            }
        }
    }
    printing.join();
    QObject::disconnect(watch);
    progress.finish();
    return changed ? PrintOutcome::Failed : channel.outcome;
}

} // namespace krambol::textpane
