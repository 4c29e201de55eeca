// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/TextLines.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace krambol::textpane {

namespace {

// Lines before the one holding a change that the change may reflow.
constexpr size_t kLinesBefore = 2;

// Stands in for the document's own layout, which would lay out a whole paragraph whenever anything asks
// it for a block's size (a text cursor does after each insert). It lays out nothing and tells the lines
// what changed, including changes of the default font, which the document reports to its layout only.
class ChangeListener final : public QAbstractTextDocumentLayout
{
public:
    ChangeListener(QTextDocument* document, TextLines* lines)
        : QAbstractTextDocumentLayout(document)
        , m_lines(lines)
    {
    }
    void forget() { m_lines = nullptr; }

    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

protected:
    void documentChanged(int from, int removed, int added) override
    {
        if (m_lines)
            m_lines->documentChanged(from, removed, added);
    }

private:
    TextLines* m_lines;
};

} // namespace

TextLines::TextLines(QTextDocument& document)
    : m_document(document)
{
    auto* listener = new ChangeListener(&document, this);
    // The document owns its layout; the pointer here only lets the destructor silence it.
    document.setDocumentLayout(listener);
    m_listener = listener;
}

TextLines::~TextLines()
{
    if (m_document.documentLayout() == m_listener)
        static_cast<ChangeListener*>(m_listener)->forget();
}

QTextOption TextLines::textOption() const
{
    QTextOption option = m_document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QString TextLines::textBetween(int from, int to) const
{
    if (to <= from)
        return {};
    // Inside an edit block a cursor does not ask the paragraph's own layout where its line is; outside
    // one, each placement would itemize the whole paragraph.
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    return cursor.selectedText();
}

void TextLines::ensureRuns()
{
    if (m_runsValid)
        return;
    // Only text with a format of its own needs a range; text in the document's font needs none, so a
    // plain register has no runs at all.
    m_runs.clear();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.properties().isEmpty())
                continue;
            if (!m_runs.empty() && m_runs.back().end == fragment.position() && m_runs.back().format == format)
                m_runs.back().end += fragment.length();
            else
                m_runs.push_back(Run{fragment.position(), fragment.position() + fragment.length(), format});
        }
    }
    m_runsValid = true;
}

QList<QTextLayout::FormatRange> TextLines::formatsBetween(int from, int to)
{
    ensureRuns();
    QList<QTextLayout::FormatRange> ranges;
    auto it = std::upper_bound(m_runs.begin(), m_runs.end(), from,
                               [](int position, const Run& run) { return position < run.end; });
    for (; it != m_runs.end() && it->start < to; ++it) {
        const int start = std::max(it->start, from);
        const int end = std::min(it->end, to);
        if (start < end)
            ranges.append(QTextLayout::FormatRange{start - from, end - start, it->format});
    }
    return ranges;
}

void TextLines::setWidth(qreal width)
{
    width = std::max<qreal>(width, 1);
    if (width == m_width)
        return;
    m_width = width;
    reset(0, 0, m_document.characterCount());
}

void TextLines::documentChanged(int from, int removed, int added)
{
    reset(from, removed, added);
    if (m_onChange)
        m_onChange();
}

void TextLines::reset(int from, int removed, int added)
{
    m_runsValid = false;
    m_shaped.clear();
    const int delta = added - removed;
    const int oldEnd = from + removed;
    const int length = m_document.characterCount();

    if (m_lines.empty()) {
        m_doneTo = 0;
        m_bottom = 0;
        m_complete = false;
        m_tail.clear();
        return;
    }

    const auto lineBefore = [](const std::vector<Line>& lines, size_t first, int position) {
        // The line holding position, then kLinesBefore more back: a change in the first word of a line
        // can let it (or a part of it) move up to the line before, and a line break opportunity can
        // depend on the characters around it.
        auto it = std::upper_bound(lines.begin() + ptrdiff_t(first), lines.end(), position,
                                   [](int p, const Line& line) { return p < line.start; });
        const size_t after = size_t(it - lines.begin());
        return after >= first + 1 + kLinesBefore ? after - 1 - kLinesBefore : first;
    };

    if (from >= m_doneTo && !m_complete) {
        // The change lies where the lines have not reached yet, but it may still reflow the last lines
        // laid out. Lines waiting to be reused hold only until the lines before the change; those after
        // it would need this change's layout too.
        if (m_tailFirst < m_tail.size()) {
            const size_t keep = lineBefore(m_tail, m_tailFirst, from);
            if (keep <= m_tailFirst) {
                m_tail.clear();
                m_tailFirst = 0;
            } else {
                m_tailDoneTo = m_tail[keep].start;
                m_tailComplete = false;
                m_tail.resize(keep);
            }
        }
        if (m_tail.empty()) {
            const size_t keep = m_lines.size() > kLinesBefore ? m_lines.size() - kLinesBefore : 0;
            m_doneTo = m_lines[keep].start;
            m_bottom = m_lines[keep].y;
            m_lines.resize(keep);
        }
        return;
    }

    const size_t keep = lineBefore(m_lines, 0, from);
    // Lines wholly after the change stay as they were, moved by the change, until the new layout starts
    // a line where one of them does. With the frontier inside the change there is nothing to reuse.
    const bool earlierTail = m_tailFirst < m_tail.size();
    m_tail.clear();
    m_tailFirst = 0;
    if (m_doneTo > oldEnd && from + added < length - 1) {
        for (size_t i = keep; i < m_lines.size(); ++i) {
            if (m_lines[i].start > oldEnd) {
                Line moved = m_lines[i];
                moved.start += delta;
                m_tail.push_back(moved);
            }
        }
        m_tailDoneTo = m_doneTo + delta;
        m_tailComplete = m_complete && !earlierTail;
    }

    m_doneTo = m_lines[keep].start;
    m_bottom = m_lines[keep].y;
    m_lines.resize(keep);
    m_complete = false;
}

bool TextLines::tryResync()
{
    while (m_tailFirst < m_tail.size() && m_tail[m_tailFirst].start < m_doneTo)
        ++m_tailFirst;
    if (m_tailFirst >= m_tail.size()) {
        m_tail.clear();
        m_tailFirst = 0;
        return false;
    }
    // Every waiting line starts after the change: from a new line that starts where one of them does, the
    // text is what it was and the old lines hold.
    if (m_tail[m_tailFirst].start != m_doneTo)
        return false;
    const qreal dy = m_bottom - m_tail[m_tailFirst].y;
    m_lines.reserve(m_lines.size() + (m_tail.size() - m_tailFirst));
    for (size_t i = m_tailFirst; i < m_tail.size(); ++i) {
        Line line = m_tail[i];
        line.y += dy;
        m_lines.push_back(line);
    }
    m_bottom = m_lines.back().y + m_lines.back().height;
    m_doneTo = m_tailDoneTo;
    m_complete = m_tailComplete;
    m_tail.clear();
    m_tailFirst = 0;
    return true;
}

void TextLines::finishWith(const Line& line)
{
    m_lines.push_back(line);
    m_bottom = line.y + line.height;
    m_doneTo = line.start + line.length;
    if (line.lastInBlock) {
        ++m_doneTo;   // past the paragraph separator
        if (m_doneTo >= m_document.characterCount()) {
            m_complete = true;
            m_tail.clear();
            m_tailFirst = 0;
        }
    }
}

void TextLines::layoutChunk()
{
    const QTextBlock block = m_document.findBlock(m_doneTo);
    if (!block.isValid()) {
        m_complete = true;
        return;
    }
    const int blockEnd = block.position() + block.length() - 1;
    const int start = m_doneTo;
    const QFont font = m_document.defaultFont();
    const QTextOption option = textOption();
    for (int window = m_window;; window *= 2) {
        const int end = std::min(blockEnd, start + window);
        const bool toBlockEnd = end == blockEnd;
        QTextLayout layout(textBetween(start, end), font);
        layout.setTextOption(option);
        layout.setFormats(formatsBetween(start, end));
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(m_width);
        layout.endLayout();
        // Unless the window reaches the end of the paragraph, its last line may have been cut short by
        // the window and is laid out again with the next one.
        const int taken = toBlockEnd ? layout.lineCount() : layout.lineCount() - 1;
        if (taken <= 0)
            continue;
        for (int i = 0; i < taken; ++i) {
            const QTextLine line = layout.lineAt(i);
            finishWith(Line{start + line.textStart(), line.textLength(), m_bottom, line.height(),
                            toBlockEnd && i == taken - 1});
            if (tryResync())
                return;
        }
        return;
    }
}

void TextLines::layoutToY(qreal y)
{
    while (!m_complete && m_bottom <= y)
        layoutChunk();
}

void TextLines::layoutToPosition(int position)
{
    while (!m_complete && m_doneTo <= position)
        layoutChunk();
}

bool TextLines::layoutSome(int characters)
{
    const int target = m_doneTo + characters;
    while (!m_complete && m_doneTo < target)
        layoutChunk();
    return !m_complete;
}

qreal TextLines::height() const
{
    if (m_complete)
        return m_bottom;
    const int remaining = std::max(0, m_document.characterCount() - m_doneTo);
    if (m_doneTo > 0 && m_bottom > 0)
        return m_bottom + remaining * (m_bottom / m_doneTo);
    const QFontMetricsF metrics(m_document.defaultFont());
    const qreal perLine = std::max<qreal>(1, m_width / std::max<qreal>(1, metrics.averageCharWidth()));
    return std::max<qreal>(1, remaining / perLine) * metrics.height();
}

int TextLines::lineAtY(qreal y) const
{
    if (m_lines.empty())
        return -1;
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), y, [](qreal v, const Line& line) { return v < line.y; });
    return it == m_lines.begin() ? 0 : int(it - m_lines.begin()) - 1;
}

int TextLines::lineForPosition(int position) const
{
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), position,
                               [](int p, const Line& line) { return p < line.start; });
    if (it == m_lines.begin())
        return -1;
    const int index = int(it - m_lines.begin()) - 1;
    const Line& line = m_lines[size_t(index)];
    const int end = line.start + line.length;
    if (position < end || (position == end && line.lastInBlock))
        return index;
    return -1;
}

const QTextLayout& TextLines::shaped(int index)
{
    std::unique_ptr<QTextLayout>& slot = m_shaped[index];
    if (slot)
        return *slot;
    if (m_shaped.size() > 2048) {
        m_shaped.clear();
        return shaped(index);
    }
    const Line& line = m_lines[size_t(index)];
    slot = std::make_unique<QTextLayout>(textBetween(line.start, line.start + line.length), m_document.defaultFont());
    QTextOption option = textOption();
    option.setWrapMode(QTextOption::NoWrap);
    slot->setTextOption(option);
    slot->setFormats(formatsBetween(line.start, line.start + line.length));
    slot->beginLayout();
    QTextLine only = slot->createLine();
    if (only.isValid())
        only.setPosition(QPointF(0, 0));
    slot->endLayout();
    return *slot;
}

std::unique_ptr<QTextLayout> TextLines::shapedWithPreedit(int index, int column, const QString& preedit,
                                                          const QList<QTextLayout::FormatRange>& preeditFormats)
{
    const Line& line = m_lines[size_t(index)];
    auto layout = std::make_unique<QTextLayout>(textBetween(line.start, line.start + line.length), m_document.defaultFont());
    QTextOption option = textOption();
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setPreeditArea(column, preedit);
    // Formats count the characters of the text as shown, the pre-edit's included.
    QList<QTextLayout::FormatRange> formats;
    for (QTextLayout::FormatRange range : formatsBetween(line.start, line.start + line.length)) {
        if (range.start >= column) {
            range.start += int(preedit.size());
        } else if (range.start + range.length > column) {
            formats.append({column + int(preedit.size()), range.start + range.length - column, range.format});
            range.length = column - range.start;
        }
        formats.append(range);
    }
    for (QTextLayout::FormatRange range : preeditFormats) {
        range.start += column;
        formats.append(range);
    }
    layout->setFormats(formats);
    layout->beginLayout();
    QTextLine only = layout->createLine();
    if (only.isValid())
        only.setPosition(QPointF(0, 0));
    layout->endLayout();
    return layout;
}

} // namespace krambol::textpane
