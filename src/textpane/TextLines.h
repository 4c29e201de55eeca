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
// at once. The register is one paragraph that only grows at its end, and a QTextLayout of a paragraph of
// millions of characters shapes all of it on every change; here a change re-lays only the lines it
// touches (the lines after it are reused as soon as a new line starts where an old one did), and lines
// below what has been asked for are laid out later, a step at a time.
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

    // Called after every change of the document, whoever made it.
    void onChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    // The width lines wrap at; a change lays everything out anew.
    void setWidth(qreal width);
    qreal width() const { return m_width; }

    // The document changed between from and from + added (from + removed before the change).
    void documentChanged(int from, int removed, int added);

    // Lays out lines until one reaches below y, or the text ends.
    void layoutToY(qreal y);
    // Lays out lines until the one holding position is there, or the text ends.
    void layoutToPosition(int position);
    // Lays out about `characters` more characters; returns whether anything is left to lay out.
    bool layoutSome(int characters);
    bool complete() const { return m_complete; }

    // The height of the whole text: exact once complete, estimated from the lines so far before that.
    qreal height() const;
    int count() const { return int(m_lines.size()); }
    const Line& line(int index) const { return m_lines[size_t(index)]; }
    // The laid-out line at y (the first or last one beyond the ends); -1 while none is laid out.
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

private:
    struct Run
    {
        int start;
        int end;
        QTextCharFormat format;
    };

    QList<QTextLayout::FormatRange> formatsBetween(int from, int to);
    void ensureRuns();
    void layoutChunk();
    void finishWith(const Line& line);
    bool tryResync();
    QTextOption textOption() const;

    void reset(int from, int removed, int added);

    QTextDocument& m_document;
    std::function<void()> m_onChange;
    QAbstractTextDocumentLayout* m_listener = nullptr;   // owned by the document
    qreal m_width = 100;
    int m_window = 2048;

    std::vector<Line> m_lines;
    int m_doneTo = 0;        // where the next line starts
    qreal m_bottom = 0;      // y below the last line
    bool m_complete = false;

    // Lines after the last change, in today's positions, waiting to be reused.
    std::vector<Line> m_tail;
    size_t m_tailFirst = 0;
    int m_tailDoneTo = 0;
    bool m_tailComplete = false;

    std::vector<Run> m_runs;
    bool m_runsValid = false;
    std::unordered_map<int, std::unique_ptr<QTextLayout>> m_shaped;
};

} // namespace krambol::textpane
