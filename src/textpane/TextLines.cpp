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

// How far before the place asked for an island starts, so that its lines have met the lines a layout from
// the top would give by the time they are shown, and a view of lines above the place comes with it.
constexpr int kIslandLead = 2048;
// How far before the place asked for an island of whole paragraphs starts: a few lines of a view above it
// (from a paragraph's start its lines are the true ones).
constexpr int kParagraphsLead = 256;

// A request for lines this many characters or fewer past the end of a segment lays that segment on;
// further away, an island starts near the place asked for. An island lays out its lead and a view, so
// that laying on further than twice the lead costs more than the island (16 384 characters of formatted
// text are 10 ms).
constexpr int kNear = 2 * kIslandLead;

// Characters at which a change's formats are read from the document's fragments rather than character by
// character.
constexpr int kScanByFragments = 64;
// A paragraph this short is read whole whenever part of it is needed.
constexpr int kShortParagraph = 4096;

// Lines dropped from the front of a segment before the storage is compacted.
constexpr size_t kCompactAfter = 1024;

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
    // A text cursor outside an edit block asks this for a paragraph's size before it asks the
    // paragraph's own layout for a line; counted, so that a test sees whether that ever happens.
    QRectF blockBoundingRect(const QTextBlock&) const override
    {
        ++m_sizeQueries;
        return {};
    }
    qint64 sizeQueries() const { return m_sizeQueries; }

protected:
    void documentChanged(int from, int removed, int added) override
    {
        if (m_lines)
            m_lines->documentChanged(from, removed, added);
    }

private:
    TextLines* m_lines;
    mutable qint64 m_sizeQueries = 0;
};

} // namespace

qint64 TextLines::paragraphSizeQueries() const
{
    return m_document.documentLayout() == m_listener ? static_cast<ChangeListener*>(m_listener)->sizeQueries() : 0;
}

TextLines::TextLines(QTextDocument& document)
    : m_document(document)
    , m_font(document.defaultFont())
{
    auto* listener = new ChangeListener(&document, this);
    // The document owns its layout; the pointer here only lets the destructor silence it.
    document.setDocumentLayout(listener);
    m_listener = listener;
}

TextLines::~TextLines()
{
    if (m_listener && m_document.documentLayout() == m_listener)
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

// --- the format table ------------------------------------------------------------------------------------

// Only text with a format of its own needs a range; text in the document's font needs none, so a plain
// register has no runs at all. Equal formats that touch are one run; a paragraph separator ends a run.
void TextLines::appendRunsOfFragments(std::vector<Run>& into, int from, int to) const
{
    // A paragraph's fragments follow each other from its start, and fragments that share a format index
    // share the format: positions are added up and each format is read once in a row of fragments, since
    // asking a fragment for its position walks the document's tree and reading a format copies it.
    int lastIndex = -1;
    QTextCharFormat format;
    bool plain = true;
    bool extendsLast = false;   // the last run ends at this fragment and has its format
    for (QTextBlock block = m_document.findBlock(from); block.isValid(); block = block.next()) {
        int fragmentStart = block.position();
        if (fragmentStart >= to)
            break;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragmentEnd = fragmentStart + fragment.length();
            const int start = std::max(fragmentStart, from);
            fragmentStart = fragmentEnd;
            if (fragmentEnd <= from)
                continue;
            if (start >= to)
                break;
            const int index = fragment.charFormatIndex();
            if (index != lastIndex) {
                lastIndex = index;
                format = fragment.charFormat();
                plain = format.propertyCount() == 0;
                extendsLast = false;
            }
            if (plain)
                continue;
            const int end = std::min(fragmentEnd, to);
            if (!into.empty() && into.back().end == start && (extendsLast || into.back().format == format))
                into.back().end = end;
            else
                into.push_back(Run{start, end, format});
            extendsLast = true;
        }
    }
}

void TextLines::appendRunsByCharacter(std::vector<Run>& into, int from, int to) const
{
    // A cursor after a character reads that character's format without walking the paragraph's fragments
    // from its start; inside an edit block it asks no layout where it is.
    QTextCursor cursor(&m_document);
    cursor.beginEditBlock();
    for (QTextBlock block = m_document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int blockEnd = block.position() + block.length() - 1;
        for (int position = std::max(from, block.position()); position < std::min(to, blockEnd); ++position) {
            cursor.setPosition(position + 1);
            const QTextCharFormat format = cursor.charFormat();
            if (format.properties().isEmpty())
                continue;
            if (!into.empty() && into.back().end == position && into.back().format == format)
                into.back().end = position + 1;
            else
                into.push_back(Run{position, position + 1, format});
        }
    }
    cursor.endEditBlock();
}

void TextLines::shiftRuns(int from, int removed, int added)
{
    // The runs and the parts read follow the change: what was removed goes out of them, what lies after
    // moves; the text that came in is read when lines next need it.
    const int oldEnd = from + removed;
    const int delta = added - removed;
    const auto moved = [&](int position) { return position < from ? position : position >= oldEnd ? position + delta : from; };
    const auto movedEnd = [&](int end) { return end <= from ? end : end > oldEnd ? end + delta : from; };
    auto first = std::upper_bound(m_runs.begin(), m_runs.end(), from, [](int p, const Run& run) { return p < run.end; });
    bool emptied = false;
    for (auto it = first; it != m_runs.end(); ++it) {
        it->start = moved(it->start);
        it->end = movedEnd(it->end);
        emptied = emptied || it->start >= it->end;
    }
    if (emptied)
        m_runs.erase(std::remove_if(first, m_runs.end(), [](const Run& run) { return run.start >= run.end; }), m_runs.end());

    std::vector<std::pair<int, int>> known;
    known.reserve(m_known.size() + 1);
    for (auto [start, end] : m_known) {
        start = moved(start);
        end = movedEnd(end);
        // The new text is not read: the part splits around it.
        if (added > 0 && start < from + added && end > from) {
            if (start < from)
                known.emplace_back(start, from);
            if (end > from + added)
                known.emplace_back(from + added, end);
        } else if (start < end) {
            if (!known.empty() && known.back().second >= start)
                known.back().second = std::max(known.back().second, end);
            else
                known.emplace_back(start, end);
        }
    }
    m_known = std::move(known);
    // Text taken out brings the runs on either side together.
    if (added == 0)
        mergeRunsAt(from);
}

void TextLines::mergeRunsAt(int position)
{
    auto after = std::lower_bound(m_runs.begin(), m_runs.end(), position, [](const Run& run, int p) { return run.start < p; });
    if (after == m_runs.begin() || after == m_runs.end())
        return;
    const auto before = std::prev(after);
    if (before->end == position && after->start == position && before->format == after->format) {
        before->end = after->end;
        m_runs.erase(after);
    }
}

void TextLines::forgetRuns()
{
    m_runs.clear();
    m_known.clear();
}

void TextLines::rescanRuns(int from, int to, bool byFragments)
{
    to = std::min(to, m_document.characterCount());
    from = std::min(from, to);
    // The runs that reach into [from, to) give way to what the document holds there now.
    auto low = std::upper_bound(m_runs.begin(), m_runs.end(), from, [](int p, const Run& run) { return p < run.end; });
    auto high = std::lower_bound(low, m_runs.end(), to, [](const Run& run, int p) { return run.start < p; });
    std::vector<Run> middle;
    if (low != high && low->start < from)
        middle.push_back(Run{low->start, from, low->format});
    // From a paragraph's start its fragments are walked at once; inside one, a short range is read a
    // character at a time rather than walking the fragments before it.
    const QTextBlock block = m_document.findBlock(from);
    const bool inside = block.isValid() && from > block.position();
    if (inside && !byFragments && (to - from <= kScanByFragments || from - block.position() > 8 * (to - from)))
        appendRunsByCharacter(middle, from, to);
    else
        appendRunsOfFragments(middle, from, to);
    if (low != high && std::prev(high)->end > to)
        middle.push_back(Run{to, std::prev(high)->end, std::prev(high)->format});

    const ptrdiff_t at = low - m_runs.begin();
    const ptrdiff_t replaced = high - low;
    if (ptrdiff_t(middle.size()) == replaced) {
        std::move(middle.begin(), middle.end(), low);
    } else {
        m_runs.erase(low, high);
        m_runs.insert(m_runs.begin() + at, std::make_move_iterator(middle.begin()), std::make_move_iterator(middle.end()));
    }
    // Runs that now touch with equal formats are one, as a reading from scratch would give.
    size_t i = at > 0 ? size_t(at - 1) : 0;
    const size_t last = std::min(m_runs.size(), size_t(at) + middle.size() + 1);
    size_t out = i;
    size_t stop = last;
    for (size_t j = i + 1; j < stop; ++j) {
        Run& kept = m_runs[out];
        if (kept.end == m_runs[j].start && kept.format == m_runs[j].format) {
            kept.end = m_runs[j].end;
        } else {
            ++out;
            if (out != j)
                m_runs[out] = std::move(m_runs[j]);
        }
    }
    if (i < stop && out + 1 < stop)
        m_runs.erase(m_runs.begin() + ptrdiff_t(out + 1), m_runs.begin() + ptrdiff_t(stop));
}

void TextLines::ensureRuns(int from, int to)
{
    to = std::min(to, m_document.characterCount());
    // The gaps of [from, to) between the parts read, each read and joined to the parts.
    std::vector<std::pair<int, int>> gaps;
    int at = from;
    auto part = std::upper_bound(m_known.begin(), m_known.end(), at,
                                 [](int p, const std::pair<int, int>& known) { return p < known.second; });
    for (; part != m_known.end() && part->first < to; ++part) {
        if (part->first > at)
            gaps.emplace_back(at, part->first);
        at = std::max(at, part->second);
    }
    if (at < to)
        gaps.emplace_back(at, to);
    for (auto [start, end] : gaps) {
        // A paragraph's fragments can only be walked from its start: a gap is read by fragments from the
        // start of its first paragraph to the end of its last (break included, so that the parts read
        // join), unless it is a short one (an edit) inside a long paragraph, read character by character.
        const QTextBlock first = m_document.findBlock(start);
        const QTextBlock last = m_document.findBlock(end - 1);
        const bool wide = end - start > kScanByFragments;
        const int walkFrom = first.isValid() ? first.position() : start;
        if (first.isValid() && first.length() <= kShortParagraph)
            start = walkFrom;
        if (last.isValid()) {
            const int lastEnd = last.position() + last.length();
            if (last.length() <= kShortParagraph || end == lastEnd - 1)
                end = lastEnd;
            else if (wide)
                // A long paragraph read in parts is read on as far again as the walk from its start took:
                // the parts double, so walking to them costs no more than reading the paragraph whole,
                // while the first lines, or the last, need not wait for all of it.
                end = std::min(lastEnd, end + std::max(end - walkFrom, kShortParagraph));
            end = std::min(end, m_document.characterCount());
        }
        rescanRuns(start, end, wide);
        auto it = std::lower_bound(m_known.begin(), m_known.end(), start,
                                   [](const std::pair<int, int>& part, int p) { return part.first < p; });
        it = m_known.insert(it, {start, end});
        // Join with the parts it touches.
        if (it != m_known.begin() && std::prev(it)->second >= it->first) {
            std::prev(it)->second = std::max(std::prev(it)->second, it->second);
            it = std::prev(m_known.erase(it));
        }
        while (std::next(it) != m_known.end() && std::next(it)->first <= it->second) {
            it->second = std::max(it->second, std::next(it)->second);
            m_known.erase(std::next(it));
        }
    }
}

QList<QTextLayout::FormatRange> TextLines::formatTable()
{
    ensureRuns(0, m_document.characterCount());
    QList<QTextLayout::FormatRange> table;
    for (const Run& run : m_runs)
        table.append({run.start, run.end - run.start, run.format});
    return table;
}

QList<QTextLayout::FormatRange> TextLines::formatTableFromScratch() const
{
    std::vector<Run> runs;
    appendRunsOfFragments(runs, 0, m_document.characterCount());
    QList<QTextLayout::FormatRange> table;
    for (const Run& run : runs)
        table.append({run.start, run.end - run.start, run.format});
    return table;
}

QList<QTextLayout::FormatRange> TextLines::formatsBetween(int from, int to)
{
    ensureRuns(from, to);
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

// --- segments --------------------------------------------------------------------------------------------

namespace {

template <typename Segment>
size_t lineCount(const Segment& segment)
{
    return segment.lines.size() - segment.first;
}

template <typename Segment>
qreal heightOf(const Segment& segment)
{
    return segment.bottom - segment.origin;
}

} // namespace

qreal TextLines::perCharacter() const
{
    const bool headOnly = m_segments.empty() || (m_segments.size() == 1 && m_segments[0].start == 0);
    if (m_laidChars > 0 && (headOnly || m_perCharacter <= 0))
        return std::max<qreal>(m_laidHeight / qreal(m_laidChars), 1e-3);
    if (m_perCharacter > 0)
        return m_perCharacter;
    const QFontMetricsF metrics(m_document.defaultFont());
    const qreal perLine = std::max<qreal>(1, m_width / std::max<qreal>(1, metrics.averageCharWidth()));
    return metrics.height() / perLine;
}

void TextLines::placeSegments()
{
    m_count = 0;
    m_laidChars = 0;
    m_laidHeight = 0;
    for (const Segment& segment : m_segments) {
        m_count += int(lineCount(segment));
        m_laidChars += segment.end - segment.start;
        m_laidHeight += heightOf(segment);
    }
    const qreal per = perCharacter();
    qreal y = 0;
    int position = 0;
    for (Segment& segment : m_segments) {
        segment.top = y + (segment.start - position) * per;
        y = segment.top + heightOf(segment);
        position = segment.end;
    }
}

void TextLines::refineEstimate()
{
    if (m_laidChars > 0)
        m_perCharacter = m_laidHeight / qreal(m_laidChars);
    placeSegments();
}

size_t TextLines::segmentOf(int index, int* local) const
{
    for (size_t i = 0; i < m_segments.size(); ++i) {
        const int size = int(lineCount(m_segments[i]));
        if (index < size) {
            *local = index;
            return i;
        }
        index -= size;
    }
    *local = 0;
    return m_segments.size();
}

size_t TextLines::segmentFor(int position) const
{
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), position,
                               [](int p, const Segment& segment) { return p < segment.start; });
    return it == m_segments.begin() ? m_segments.size() : size_t(it - m_segments.begin()) - 1;
}

size_t TextLines::startSegment(int start, size_t before)
{
    // From now on the text between segments counts at a fixed height a character, so that the lines shown
    // stay where they are until refineEstimate() moves them.
    if (m_perCharacter <= 0 || m_segments.empty() || (m_segments.size() == 1 && m_segments[0].start == 0))
        m_perCharacter = perCharacter();
    Segment segment;
    segment.start = start;
    segment.end = start;
    m_segments.insert(m_segments.begin() + ptrdiff_t(before), std::move(segment));
    return before;
}

void TextLines::removeSegment(size_t segment)
{
    m_segments.erase(m_segments.begin() + ptrdiff_t(segment));
}

void TextLines::dropFront(Segment& segment, size_t lines)
{
    segment.first += lines;
    if (segment.first < segment.lines.size()) {
        segment.origin = segment.lines[segment.first].y;
        segment.start = segment.lines[segment.first].start;
    }
    if (segment.first > kCompactAfter && segment.first * 2 > segment.lines.size()) {
        segment.lines.erase(segment.lines.begin(), segment.lines.begin() + ptrdiff_t(segment.first));
        segment.first = 0;
    }
}

// A layout is shaped from its own first character: a line laid out from here must be the line a layout of
// the whole paragraph gives. It is not where the character here takes its shape from the one before it: a
// combining mark, joiner or modifier (a line can start with one after a tab), a letter joined to the one
// before, the second of a pair of regional indicators.
bool TextLines::startsOnItsOwn(int position) const
{
    if (position <= 0 || position >= m_document.characterCount() - 1)
        return true;
    const QChar at = m_document.characterAt(position);
    const QChar before = m_document.characterAt(position - 1);
    if (before == QChar::ParagraphSeparator)
        return true;
    if (at.isLowSurrogate())
        return false;
    const char32_t here = at.isHighSurrogate() ? QChar::surrogateToUcs4(at, m_document.characterAt(position + 1))
                                               : at.unicode();
    const char32_t previous = before.isLowSurrogate() && position >= 2
                                  ? QChar::surrogateToUcs4(m_document.characterAt(position - 2), before)
                                  : before.unicode();
    switch (QChar::category(here)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return false;
    default:
        break;
    }
    const auto joins = [](char32_t c) {
        const QChar::JoiningType type = QChar::joiningType(c);
        return type != QChar::Joining_None && type != QChar::Joining_Transparent;
    };
    const auto regional = [](char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; };
    const bool modifier = here >= 0x1F3FB && here <= 0x1F3FF;
    return !modifier && previous != 0x200D && !(joins(previous) && joins(here))
           && !(regional(previous) && regional(here));
}

int TextLines::islandStart(int position, int floor) const
{
    // From the start of a paragraph the lines are the true ones from the first: the paragraph of the place
    // asked for starts the island when its start is near, or one a few lines before it, so that the lines
    // around the place (a view of them) come with it.
    const QTextBlock here = m_document.findBlock(position);
    if (here.isValid() && position - here.position() <= 2 * kIslandLead) {
        QTextBlock block = here;
        while (position - block.position() < kParagraphsLead) {
            const QTextBlock before = block.previous();
            if (!before.isValid() || before.position() < floor)
                break;
            block = before;
        }
        return std::max(floor, block.position());
    }
    // Somewhere inside a long paragraph: a little before the place, after a blank, where a line is likely
    // to start; its lines meet those a layout from the paragraph's start gives within a few lines.
    int start = std::max(floor, position - kIslandLead);
    const QString ahead = textBetween(start, start + 256);
    for (qsizetype i = 0; i < ahead.size(); ++i) {
        if (ahead[i].isSpace()) {
            start += int(i) + 1;
            break;
        }
    }
    start = std::max(floor, start);
    while (start > floor && !startsOnItsOwn(start))
        --start;
    return start;
}

void TextLines::append(size_t index, const Line& laid)
{
    Segment& segment = m_segments[index];
    Line line = laid;
    line.y = segment.bottom;
    segment.lines.push_back(line);
    segment.bottom = line.y + line.height;
    segment.end = line.start + line.length;
    m_laidOutTotal += line.length;
    if (line.lastInBlock) {
        ++segment.end;   // past the paragraph separator
        ++m_laidOutTotal;
        if (segment.end >= m_document.characterCount())
            segment.reachesEnd = true;
    }
}

bool TextLines::joinNext(size_t index)
{
    while (index + 1 < m_segments.size()) {
        Segment& segment = m_segments[index];
        Segment& next = m_segments[index + 1];
        // Lines of the next segment that this one has passed without starting a line where they do were
        // laid out from a guess (or before a change) and go.
        size_t passed = 0;
        while (next.first + passed < next.lines.size() && next.lines[next.first + passed].start < segment.end)
            ++passed;
        if (segment.reachesEnd || next.first + passed >= next.lines.size()) {
            removeSegment(index + 1);
            continue;
        }
        if (passed > 0)
            dropFront(next, passed);
        if (next.start != segment.end)
            return false;
        // A new line starts where one of the next segment's does: from there on the text is what it was
        // when those were laid out, and they hold.
        const qreal dy = segment.bottom - next.origin;
        segment.lines.reserve(segment.lines.size() + lineCount(next));
        for (size_t i = next.first; i < next.lines.size(); ++i) {
            Line line = next.lines[i];
            line.y += dy;
            segment.lines.push_back(line);
        }
        segment.bottom = segment.lines.back().y + segment.lines.back().height;
        segment.end = next.end;
        segment.reachesEnd = next.reachesEnd;
        removeSegment(index + 1);
        return true;
    }
    return false;
}

void TextLines::layoutChunk(size_t index)
{
    if (joinNext(index))
        return;
    Segment& segment = m_segments[index];
    if (segment.reachesEnd)
        return;
    const QTextBlock block = m_document.findBlock(segment.end);
    if (!block.isValid()) {
        segment.reachesEnd = true;
        return;
    }
    const int blockEnd = block.position() + block.length() - 1;
    const int start = segment.end;
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
        // the window and is laid out again with the next one, which must start where a line can be shaped
        // on its own.
        int taken = toBlockEnd ? layout.lineCount() : layout.lineCount() - 1;
        while (!toBlockEnd && taken > 0 && !startsOnItsOwn(start + layout.lineAt(taken).textStart()))
            --taken;
        if (taken <= 0)
            continue;
        for (int i = 0; i < taken; ++i) {
            const QTextLine line = layout.lineAt(i);
            append(index, Line{start + line.textStart(), line.textLength(), 0, line.height(),
                               toBlockEnd && i == taken - 1});
            if (joinNext(index))
                break;
        }
        break;
    }
    placeSegments();
}

void TextLines::layoutNear(size_t next, int gapFrom, int position)
{
    // The text between segment next - 1 (or the top) and segment next is not laid out; position is in it.
    if (next > 0 && position - gapFrom <= kNear) {
        layoutChunk(next - 1);
    } else if (next == 0 && position <= kNear) {
        layoutChunk(startSegment(0, 0));
    } else {
        layoutChunk(startSegment(islandStart(position, gapFrom), next));
    }
}

void TextLines::layoutBetween(qreal top, qreal bottom)
{
    const int length = m_document.characterCount();
    for (;;) {
        // The first part of [top, bottom] that no line covers.
        qreal gapTop = 0;
        int gapFrom = 0;
        size_t next = 0;
        bool found = false;
        for (;; ++next) {
            const bool last = next == m_segments.size();
            const int gapTo = last ? length : m_segments[next].start;
            if (gapTo > gapFrom && gapTop <= bottom && (last || m_segments[next].top > top)) {
                found = true;
                break;
            }
            if (last || m_segments[next].reachesEnd)
                break;
            gapTop = m_segments[next].top + heightOf(m_segments[next]);
            gapFrom = m_segments[next].end;
        }
        if (!found)
            return;
        const int gapTo = next == m_segments.size() ? length : m_segments[next].start;
        const qreal y = std::max(top, gapTop);
        const qreal offset = std::min<qreal>((y - gapTop) / perCharacter(), qreal(gapTo - gapFrom - 1));
        layoutNear(next, gapFrom, gapFrom + int(offset));
    }
}

void TextLines::layoutToPosition(int position)
{
    position = std::clamp(position, 0, std::max(0, m_document.characterCount() - 1));
    while (lineForPosition(position) < 0) {
        const size_t before = segmentFor(position);
        if (before < m_segments.size() && m_segments[before].reachesEnd)
            return;
        const size_t next = before < m_segments.size() ? before + 1 : 0;
        layoutNear(next, before < m_segments.size() ? m_segments[before].end : 0, position);
    }
}

int TextLines::lineFrom(int index, int steps)
{
    if (index < 0 || index >= m_count)
        return index;
    const int anchor = line(index).start;
    for (;;) {
        layoutToPosition(anchor);
        index = lineForPosition(anchor);
        int local = 0;
        const size_t at = segmentOf(index, &local);
        Segment& segment = m_segments[at];
        if (steps >= 0) {
            if (local + steps < int(lineCount(segment)) || segment.reachesEnd)
                return index + std::min(steps, int(lineCount(segment)) - 1 - local);
            layoutChunk(at);
            continue;
        }
        if (local + steps >= 0 || segment.start == 0)
            return index + std::max(steps, -local);
        // Lay out before the segment: on from the one before it when that is near, else from a little
        // before, until the new lines meet this segment's.
        const int gapFrom = at > 0 ? m_segments[at - 1].end : 0;
        const int perLine = int(m_laidChars / std::max(1, m_count)) + 1;
        const int lead = std::max(kIslandLead, 2 * perLine * -(local + steps));
        layoutNear(at, gapFrom, std::max(gapFrom, segment.start - lead));
    }
}

bool TextLines::layoutSome(int characters)
{
    qint64 target = m_laidOutTotal + characters;
    while (!complete() && m_laidOutTotal < target) {
        if (m_segments.empty() || m_segments[0].start > 0)
            startSegment(0, 0);
        const qint64 before = m_laidOutTotal;
        layoutChunk(0);
        if (m_laidOutTotal == before)
            ++target;   // a join: nothing laid out, but the lines moved on
    }
    return !complete();
}

bool TextLines::complete() const
{
    return m_segments.size() == 1 && m_segments[0].start == 0 && m_segments[0].reachesEnd;
}

// --- changes ---------------------------------------------------------------------------------------------

void TextLines::setWidth(qreal width)
{
    width = std::max<qreal>(width, 1);
    if (width == m_width)
        return;
    // A line holds characters in proportion to the width: the estimate follows until lines tell better.
    const qreal per = perCharacter();
    m_perCharacter = per * m_width / width;
    m_width = width;
    m_segments.clear();
    m_shaped.clear();
    placeSegments();
}

void TextLines::documentChanged(int from, int removed, int added)
{
    reset(from, removed, added);
    if (m_onChange)
        m_onChange();
}

void TextLines::reset(int from, int removed, int added)
{
    m_shaped.clear();
    const int length = m_document.characterCount();
    // The document tells a change of its default font as a change of all of its text, and so it tells a
    // text written over the whole document; the font tells them apart. The font alone changes no run: a
    // run's format holds its own properties only, and takes the rest from the default font when a line is
    // shaped.
    const bool fontOnly = from == 0 && removed == 0 && added == length && m_document.defaultFont() != m_font;
    m_font = m_document.defaultFont();
    if (from == 0 && from + added >= length - 1) {
        // The whole text is new, or its default font changed: no line holds. The height of a character
        // is the last one known until lines tell better.
        if (m_laidChars > 0)
            m_perCharacter = perCharacter();
        if (!fontOnly)
            forgetRuns();
        m_segments.clear();
        placeSegments();
        return;
    }
    shiftRuns(from, removed, added);
    const int delta = added - removed;
    const int oldEnd = from + removed;

    std::vector<Segment> kept;
    kept.reserve(m_segments.size() + 1);
    for (Segment& segment : m_segments) {
        if (segment.end <= from) {
            // Before the change. Lines of a paragraph that ends before it hold; the last lines of one that
            // goes on into it may take more of it or less.
            const Line& last = segment.lines.back();
            const QTextBlock block = m_document.findBlock(segment.end);
            const bool ownParagraph = last.lastInBlock || (block.isValid() && block.position() + block.length() - 1 < from);
            if (!ownParagraph) {
                size_t keep = lineCount(segment) > kLinesBefore ? lineCount(segment) - kLinesBefore : 0;
                while (keep > 0 && !startsOnItsOwn(segment.lines[segment.first + keep].start))
                    --keep;
                if (keep == 0)
                    continue;
                const Line& cut = segment.lines[segment.first + keep];
                segment.lines.resize(segment.first + keep);
                segment.end = cut.start;
                segment.bottom = cut.y;
                segment.reachesEnd = false;
            }
            kept.push_back(std::move(segment));
            continue;
        }
        if (segment.start > oldEnd) {
            // After the change: the same lines, moved.
            for (size_t i = segment.first; i < segment.lines.size(); ++i)
                segment.lines[i].start += delta;
            segment.start += delta;
            segment.end += delta;
            kept.push_back(std::move(segment));
            continue;
        }
        // The change is inside. The lines before the one holding it (and kLinesBefore more back: a change
        // in the first word of a line can let it move up to the line before, and a line break
        // opportunity can depend on the characters around it) stay; the lines wholly after it become a
        // segment of their own, waiting for new lines to meet them.
        auto begin = segment.lines.begin() + ptrdiff_t(segment.first);
        auto holding = std::upper_bound(begin, segment.lines.end(), from, [](int p, const Line& line) { return p < line.start; });
        const size_t after = size_t(holding - begin);
        size_t keep = after >= 1 + kLinesBefore ? after - 1 - kLinesBefore : 0;
        while (keep > 0 && !startsOnItsOwn(segment.lines[segment.first + keep].start))
            --keep;
        Segment tail;
        if (from + added < length - 1) {
            auto firstAfter = std::upper_bound(begin, segment.lines.end(), oldEnd, [](int p, const Line& line) { return p < line.start; });
            if (firstAfter != segment.lines.end()) {
                tail.lines.assign(firstAfter, segment.lines.end());
                for (Line& line : tail.lines)
                    line.start += delta;
                tail.start = tail.lines.front().start;
                tail.origin = tail.lines.front().y;
                tail.bottom = segment.bottom;
                tail.end = segment.end + delta;
                tail.reachesEnd = segment.reachesEnd;
            }
        }
        if (keep > 0) {
            const Line& cut = segment.lines[segment.first + keep];
            segment.end = cut.start;
            segment.bottom = cut.y;
            segment.lines.resize(segment.first + keep);
            segment.reachesEnd = false;
            kept.push_back(std::move(segment));
        }
        if (!tail.lines.empty())
            kept.push_back(std::move(tail));
    }
    m_segments = std::move(kept);
    placeSegments();
}

// --- reading the lines -----------------------------------------------------------------------------------

qreal TextLines::height() const
{
    const qreal per = perCharacter();
    if (m_segments.empty())
        return std::max<qreal>(QFontMetricsF(m_document.defaultFont()).height(), m_document.characterCount() * per);
    const Segment& last = m_segments.back();
    const qreal bottom = last.top + heightOf(last);
    return last.reachesEnd ? bottom : bottom + std::max(0, m_document.characterCount() - last.end) * per;
}

TextLines::Line TextLines::line(int index) const
{
    int local = 0;
    const Segment& segment = m_segments[segmentOf(index, &local)];
    Line line = segment.lines[segment.first + size_t(local)];
    line.y = segment.top + (line.y - segment.origin);
    return line;
}

int TextLines::lineAtY(qreal y) const
{
    if (m_count == 0)
        return -1;
    int offset = 0;
    size_t at = 0;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        if (lineCount(m_segments[i]) == 0)
            continue;
        if (m_segments[i].top > y && i > 0)
            break;
        at = i;
        if (m_segments[i].top > y)
            return offset;   // above the first line
        offset += int(lineCount(m_segments[i]));
    }
    const Segment& segment = m_segments[at];
    offset -= int(lineCount(segment));
    const qreal relative = y - segment.top + segment.origin;
    auto begin = segment.lines.begin() + ptrdiff_t(segment.first);
    auto it = std::upper_bound(begin, segment.lines.end(), relative, [](qreal v, const Line& line) { return v < line.y; });
    return offset + (it == begin ? 0 : int(it - begin) - 1);
}

int TextLines::lineForPosition(int position) const
{
    const size_t at = segmentFor(position);
    if (at >= m_segments.size())
        return -1;
    const Segment& segment = m_segments[at];
    auto begin = segment.lines.begin() + ptrdiff_t(segment.first);
    auto it = std::upper_bound(begin, segment.lines.end(), position, [](int p, const Line& line) { return p < line.start; });
    if (it == begin)
        return -1;
    const Line& line = *std::prev(it);
    const int end = line.start + line.length;
    if (!(position < end || (position == end && line.lastInBlock)))
        return -1;
    int offset = 0;
    for (size_t i = 0; i < at; ++i)
        offset += int(lineCount(m_segments[i]));
    return offset + int(std::prev(it) - begin);
}

const QTextLayout& TextLines::shaped(int index)
{
    const Line line = this->line(index);
    std::unique_ptr<QTextLayout>& slot = m_shaped[line.start];
    if (slot && slot->text().size() == line.length)
        return *slot;
    if (m_shaped.size() > 2048) {
        m_shaped.clear();
        return shaped(index);
    }
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
    const Line line = this->line(index);
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
