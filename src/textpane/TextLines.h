// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTextDocumentLayout>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace krambol::textpane {

// The wrapped lines of a QTextDocument, laid out a window of text at a time instead of a whole paragraph
// at once, and only where they are looked at. The register is one paragraph (or many short ones) of
// millions of characters; a QTextLayout of it shapes all of it on every change, and a layout from the
// top shapes everything above the view before it can show the end.
//
// The lines are kept in segments: runs of consecutive lines, each laid out from the line before. The
// first segment starts at the top of the text; the others ("islands") start where something asked for
// lines far from any laid out (the end of the text, a place the scroll bar was dragged to) and sit at an
// estimated height: the text between two segments counts as its characters times the average height of a
// character so far. When a segment, laid out on, starts a line where the next one has a line start, the
// two join and the rest of the next is exact; lines it passes without meeting one are dropped. A change
// re-lays only the lines it touches: the lines after it become an island of their own, joined again as
// soon as a new line starts where one of them does.
class TextLines
{
public:
    struct Line
    {
        int start = 0;      // document position of the first character
        int length = 0;     // characters, without the paragraph separator
        qreal y = 0;        // top, in layout coordinates (0 = top of the text)
        qreal height = 0;
        bool lastInBlock = false;
    };

    explicit TextLines(QTextDocument& document);
    ~TextLines();
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;

    // The document is going away: the lines no longer touch it, not even when they go.
    void abandon() { m_listener = nullptr; }

    // Called after every change of the document, whoever made it.
    void onChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    // The width lines wrap at; a change lays everything out anew.
    void setWidth(qreal width);
    qreal width() const { return m_width; }

    // The document changed between from and from + added (from + removed before the change).
    void documentChanged(int from, int removed, int added);

    // Lays out lines so that every height between top and bottom holds a line (or lies past the end of
    // the text); text far above is left for later, its height estimated.
    void layoutBetween(qreal top, qreal bottom);
    void layoutToY(qreal y) { layoutBetween(y, y); }
    // Lays out the line holding position (and the lines around it that its layout needs).
    void layoutToPosition(int position);
    // The line `steps` lines after (before, when negative) the line at index, laid out as needed; it stops
    // at the first and the last line of the text. Lines laid out before index move the indices: the
    // index returned is the one now valid.
    int lineFrom(int index, int steps);
    // Lays out about `characters` more characters from the top on; returns whether anything is left.
    bool layoutSome(int characters);
    bool complete() const;

    // Takes the average height of a character from all lines laid out so far. Text not laid out and the
    // islands after it move with it: the caller keeps its view on the text it shows.
    void refineEstimate();

    // The height of the whole text: exact once complete, estimated before that.
    qreal height() const;
    int count() const { return m_count; }
    // One laid-out line, its y in layout coordinates (an estimate on an island).
    Line line(int index) const;
    // The laid-out line at y (the one before a part not laid out, the first or last one beyond the
    // ends); -1 while none is laid out.
    int lineAtY(qreal y) const;
    // The laid-out line holding position; a position between two lines of a paragraph belongs to the
    // later one. -1 when that part is not laid out yet.
    int lineForPosition(int position) const;

    // The shaped text of one line, for drawing and hit testing; kept until the next change.
    const QTextLayout& shaped(int index);
    // The line shaped anew with an input method's pre-edit text shown at a column of it (its formats given
    // from the pre-edit's start); positions in it count the pre-edit's characters too. Not kept.
    std::unique_ptr<QTextLayout> shapedWithPreedit(int index, int column, const QString& preedit,
                                                   const QList<QTextLayout::FormatRange>& preeditFormats);

    // The characters of the document between two positions, paragraph separators as U+2029.
    QString textBetween(int from, int to) const;

    // For tests: characters laid out since the lines were made; the format table as kept (brought up to
    // date) and as a reading of the whole document gives it.
    qint64 charactersLaidOut() const { return m_laidOutTotal; }
    // How often the document's stand-in layout was asked for a paragraph's size: what a text cursor
    // does before it lays the paragraph out to find its line. Zero while every cursor works in edit
    // blocks.
    qint64 paragraphSizeQueries() const;
    QList<QTextLayout::FormatRange> formatTable();
    QList<QTextLayout::FormatRange> formatTableFromScratch() const;

private:
    struct Run
    {
        int start;
        int end;
        QTextCharFormat format;
    };

    // Consecutive lines; the y of a line counts from the segment's top.
    struct Segment
    {
        int start = 0;          // where the first line starts
        int end = 0;            // where the line after the last one starts
        qreal top = 0;          // exact for a segment from the top of the text, an estimate otherwise
        bool reachesEnd = false;   // its last line is the last line of the text
        // The lines from `first` on; the earlier ones were passed by the segment before. Their y, origin
        // (the y of the first) and bottom count from where the segment was laid out.
        std::vector<Line> lines;
        size_t first = 0;
        qreal origin = 0;
        qreal bottom = 0;
    };

    QList<QTextLayout::FormatRange> formatsBetween(int from, int to);
    // Reads the runs of whatever part of [from, to) the table does not hold yet.
    void ensureRuns(int from, int to);
    void forgetRuns();
    void mergeRunsAt(int position);
    // Reads [from, to) again; byFragments walks the paragraph from its start even for a part deep inside it.
    void rescanRuns(int from, int to, bool byFragments);
    void appendRunsOfFragments(std::vector<Run>& into, int from, int to) const;
    void appendRunsByCharacter(std::vector<Run>& into, int from, int to) const;
    void shiftRuns(int from, int removed, int added);

    void layoutChunk(size_t segment);
    void layoutNear(size_t next, int gapFrom, int position);
    void append(size_t segment, const Line& line);
    bool joinNext(size_t segment);
    void dropFront(Segment& segment, size_t lines);
    void removeSegment(size_t segment);
    size_t startSegment(int start, size_t before);
    int islandStart(int position, int floor) const;
    bool startsOnItsOwn(int position) const;
    void placeSegments();
    qreal perCharacter() const;
    size_t segmentOf(int index, int* local) const;
    size_t segmentFor(int position) const;
    QTextOption textOption() const;

    void reset(int from, int removed, int added);

    QTextDocument& m_document;
    std::function<void()> m_onChange;
    QAbstractTextDocumentLayout* m_listener = nullptr;   // owned by the document
    qreal m_width = 100;
    int m_window = 2048;

    std::vector<Segment> m_segments;
    int m_count = 0;
    qint64 m_laidChars = 0;      // characters in all segments
    qreal m_laidHeight = 0;      // and their height
    qreal m_perCharacter = 0;    // the estimate in use; 0 until there is one
    qint64 m_laidOutTotal = 0;

    // The format runs, read a part at a time where lines need them: `m_known` holds the parts read, in
    // order, apart from each other; runs outside them may be out of date and are read again before use.
    std::vector<Run> m_runs;
    std::vector<std::pair<int, int>> m_known;
    // The document's default font as the last change left it.
    QFont m_font;
    std::unordered_map<int, std::unique_ptr<QTextLayout>> m_shaped;   // by line start
};

} // namespace krambol::textpane
