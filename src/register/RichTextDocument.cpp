// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace krambol::reg {

namespace {

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

} // namespace

rtf::Document toRtfDocument(const QTextDocument& document, int from, int to)
{
    const int end = document.characterCount() - 1;   // the last block's own end is no character
    if (to < 0 || to > end)
        to = end;
    from = qBound(0, from, to);
    const QFont defaultFont = document.defaultFont();

    rtf::Document result;
    // Each of the document's formats is shown once: its index in the result's table by its own.
    QHash<int, int> formats;
    const auto formatOf = [&](int index, const QTextCharFormat& format) {
        auto it = formats.find(index);
        if (it == formats.end())
            it = formats.insert(index, result.addFormat(shownFormat(format, defaultFont)));
        return *it;
    };
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        if (block.position() > from) {
            // The break before this block lies inside the range.
            const QTextBlock previous = block.previous();
            result.append(formatOf(previous.charFormatIndex(), previous.charFormat()),
                          QStringView(u"\u2029"));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(fragment.position(), from);
            const int stop = qMin(fragment.position() + fragment.length(), to);
            if (start >= stop)
                continue;
            const QString text = fragment.text();
            result.append(formatOf(fragment.charFormatIndex(), fragment.charFormat()),
                          QStringView(text).sliced(start - fragment.position(), stop - start));
        }
    }
    return result;
}

void insertRtfDocument(QTextCursor& cursor, const rtf::Document& document)
{
    const QFont documentFont = cursor.document()->defaultFont();
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < document.runCount(); ++i) {
        const QTextCharFormat format = textFormat(document.runFormat(i), documentFont);
        const QStringView text = document.runText(i);
        qsizetype start = 0;
        while (true) {
            const qsizetype stop = text.indexOf(QChar::ParagraphSeparator, start);
            const QStringView paragraph = text.sliced(start, (stop < 0 ? text.size() : stop) - start);
            if (!paragraph.isEmpty())
                cursor.insertText(paragraph.toString(), format);
            if (stop < 0)
                break;
            cursor.insertBlock(cursor.blockFormat(), format);
            start = stop + 1;
        }
    }
    cursor.endEditBlock();
}

} // namespace krambol::reg
