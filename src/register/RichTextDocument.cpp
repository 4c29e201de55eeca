// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <optional>
#include <vector>

namespace krambol::reg {

namespace {

// A property that holds the font's name as a string. QTextFormat hashes a string list (the font families)
// by its type alone, so formats that differ in font name only would all share one hash, and looking up a
// format among n such formats would compare it with each of them: showing n distinct fonts would take
// time quadratic in n. This property makes their hashes differ; nothing else reads it.
constexpr int kFontNameKey = QTextFormat::UserProperty + 0x4B;

// The format that shows a run over the document's font. What that font already shows is left to it: each
// property costs memory in every distinct format, and a document may hold a format for each of its runs.
// (Changing the document's font changes the formatted text with it, so leaving a property out shows the
// same now and later.)
QTextCharFormat textFormat(const rtf::CharFormat& shown, const QFont& documentFont)
{
    QTextCharFormat format;
    format.setFontFamilies({shown.fontName});
    format.setProperty(kFontNameKey, shown.fontName);
    if (documentFont.pointSizeF() != shown.halfPoints / 2.0)
        format.setFontPointSize(shown.halfPoints / 2.0);
    if (documentFont.bold() != shown.bold)
        format.setFontWeight(shown.bold ? QFont::Bold : QFont::Normal);
    if (documentFont.italic() != shown.italic)
        format.setFontItalic(shown.italic);
    if (documentFont.underline() != shown.underline)
        format.setFontUnderline(shown.underline);
    if (shown.color)
        format.setForeground(QColor(*shown.color));
    return format;
}

// Formats differ by what they show, not by their index in the document: each of the document's character
// formats is shown once, and formats that show alike share one entry of the result's table, numbered in
// the order the range first uses them (the order the writer gives fonts and colours).
class ShownFormats
{
public:
    explicit ShownFormats(const QTextDocument& document)
        : m_formats(document.allFormats()), m_font(document.defaultFont()), m_ids(m_formats.size(), -1)
    {
    }

    // The table entry of the document's format `index`.
    int idOf(int index)
    {
        int& id = m_ids[index];
        if (id < 0) {
            const rtf::CharFormat shown = shownFormat(m_formats.at(index).toCharFormat(), m_font);
            auto it = m_table.constFind(shown);
            if (it == m_table.cend()) {
                it = m_table.insert(shown, int(m_shown.size()));
                m_shown.append(shown);
            }
            id = *it;
        }
        return id;
    }

    // The table entry of every character format of the document when they all show alike, so that any
    // range is one run; -1 when they do not. Past a few hundred formats the answer is not worth its cost
    // and is -1.
    int commonId()
    {
        constexpr qsizetype kFewFormats = 256;
        if (m_formats.size() > kFewFormats)
            return -1;
        int common = -1;
        for (qsizetype i = 0; i < m_formats.size(); ++i) {
            if (!m_formats.at(i).isCharFormat())
                continue;
            const int id = idOf(int(i));
            if (common >= 0 && id != common)
                return -1;
            common = id;
        }
        return common;
    }

    const QList<rtf::CharFormat>& table() const { return m_shown; }

private:
    const QList<QTextFormat> m_formats;
    const QFont m_font;
    std::vector<int> m_ids;
    QHash<rtf::CharFormat, int> m_table;
    QList<rtf::CharFormat> m_shown;
};

// Runs by table entry, neighbours with the same entry joined.
class Spans
{
public:
    void add(int id, qsizetype end)
    {
        if (!m_spans.isEmpty() && m_spans.back().format == id)
            m_spans.back().end = qint32(end);
        else
            m_spans.append(rtf::Document::Span{qint32(end), qint32(id)});
    }

    // The runs over `text` with the formats they use, in the order of first use.
    rtf::Document document(QString text, const QList<rtf::CharFormat>& table)
    {
        std::vector<int> order(std::size_t(table.size()), -1);
        QList<rtf::CharFormat> formats;
        for (rtf::Document::Span& span : m_spans) {
            int& index = order[std::size_t(span.format)];
            if (index < 0) {
                index = int(formats.size());
                formats.append(table.at(span.format));
            }
            span.format = index;
        }
        return rtf::Document(std::move(text), std::move(formats), std::move(m_spans));
    }

private:
    QList<rtf::Document::Span> m_spans;
};

// The characters of the range as the document holds them, paragraph breaks as U+2029: the marks that
// begin and end a frame are the breaks there.
QString rawText(const QTextDocument& document, int from, int to)
{
    QString text = document.toRawText().mid(from, to - from);
    if (!document.rootFrame()->childFrames().isEmpty()) {
        for (QChar& c : text)
            if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1)
                c = QChar::ParagraphSeparator;
    }
    return text;
}

} // namespace

rtf::CharFormat shownFormat(const QTextCharFormat& format, const QFont& defaultFont)
{
    const QFont font = format.font().resolve(defaultFont);
    rtf::CharFormat shown;
    const QStringList families = font.families();
    shown.fontName = families.isEmpty() ? font.family() : families.first();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    if (points > 0)
        shown.halfPoints = qMax(1, int(std::lround(points * 2)));
    shown.bold = font.bold();
    shown.italic = font.italic();
    shown.underline = font.underline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        shown.color = format.foreground().color().rgb();
    return shown;
}

rtf::Document toRtfDocument(const QTextDocument& document, int from, int to)
{
    const int end = document.characterCount() - 1;   // the last block's own end is no character
    if (to < 0 || to > end)
        to = end;
    from = qBound(0, from, to);
    if (from == to)
        return {};

    // A range that ends just after a paragraph break leaves the break out.
    const int textEnd = document.findBlock(to).position() == to ? to - 1 : to;
    if (from == textEnd)
        return {};

    // A large part takes its text from the document's in one piece, and the walk below reads only where
    // runs and paragraphs end; a small one takes the text of the runs it meets. The walk keeps count of
    // positions itself, since asking a block or a fragment for its position searches the document's tree.
    const bool large = qint64(textEnd - from) * 4 >= document.characterCount();
    QString text = large ? rawText(document, from, textEnd) : QString();
    ShownFormats shown(document);
    Spans spans;
    if (const int common = large ? shown.commonId() : -1; common >= 0) {
        spans.add(common, text.size());
        return spans.document(text, shown.table());
    }
    QTextBlock block = document.findBlock(from);
    int blockStart = block.position();
    QTextBlock previous;
    while (block.isValid() && blockStart < to) {
        // The break before a block is shown in the format of the block before it.
        if (blockStart > from) {
            spans.add(shown.idOf(previous.charFormatIndex()), blockStart - from);
            if (!large)
                text += QChar::ParagraphSeparator;
        }
        int fragmentStart = blockStart;
        for (auto it = block.begin(); !it.atEnd() && fragmentStart < to; ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragmentEnd = fragmentStart + fragment.length();
            if (fragmentEnd > from) {
                const int start = qMax(fragmentStart, from);
                const int stop = qMin(fragmentEnd, to);
                spans.add(shown.idOf(fragment.charFormatIndex()), stop - from);
                if (!large)
                    text += QStringView(fragment.text()).sliced(start - fragmentStart, stop - start);
            }
            fragmentStart = fragmentEnd;
        }
        blockStart += block.length();
        previous = block;
        block = block.next();
    }
    return spans.document(std::move(text), shown.table());
}

void insertRtfDocument(QTextCursor& cursor, const rtf::Document& document)
{
    const QFont documentFont = cursor.document()->defaultFont();
    // Each distinct format is made once: runs that share it share its data, which the document then
    // finds in its collection without comparing properties again. A new paragraph takes the format of
    // the one before it, which is the first one's all along.
    std::vector<std::optional<QTextCharFormat>> formats(std::size_t(document.formats().size()));
    cursor.beginEditBlock();
    const QTextBlockFormat blockFormat = cursor.blockFormat();
    for (qsizetype i = 0; i < document.runCount(); ++i) {
        std::optional<QTextCharFormat>& made = formats[std::size_t(document.runFormatIndex(i))];
        if (!made)
            made = textFormat(document.runFormat(i), documentFont);
        const QTextCharFormat& format = *made;
        const QStringView text = document.runText(i);
        qsizetype start = 0;
        while (true) {
            const qsizetype stop = text.indexOf(QChar::ParagraphSeparator, start);
            const QStringView paragraph = text.sliced(start, (stop < 0 ? text.size() : stop) - start);
            if (!paragraph.isEmpty())
                cursor.insertText(paragraph.toString(), format);
            if (stop < 0)
                break;
            cursor.insertBlock(blockFormat, format);
            start = stop + 1;
        }
    }
    cursor.endEditBlock();
}

} // namespace krambol::reg
