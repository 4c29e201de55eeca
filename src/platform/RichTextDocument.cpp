#include "platform/RichTextDocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace krambol::platform {

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

void append(rtf::Document& document, const rtf::CharFormat& format, const QString& text)
{
    if (text.isEmpty())
        return;
    if (!document.runs.isEmpty() && document.runs.back().format == format)
        document.runs.back().text += text;
    else
        document.runs.append(rtf::Run{format, text});
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
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        if (block.position() > from) {
            // The break before this block lies inside the range.
            append(result, shownFormat(block.previous().charFormat(), defaultFont), QString(QChar::ParagraphSeparator));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(fragment.position(), from);
            const int stop = qMin(fragment.position() + fragment.length(), to);
            if (start >= stop)
                continue;
            append(result, shownFormat(fragment.charFormat(), defaultFont),
                   fragment.text().mid(start - fragment.position(), stop - start));
        }
    }
    return result;
}

void insertRtfDocument(QTextCursor& cursor, const rtf::Document& document)
{
    cursor.beginEditBlock();
    for (const rtf::Run& run : document.runs) {
        QTextCharFormat format;
        format.setFontFamilies({run.format.fontName});
        format.setFontPointSize(run.format.halfPoints / 2.0);
        format.setFontWeight(run.format.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.format.italic);
        format.setFontUnderline(run.format.underline);
        if (run.format.color)
            format.setForeground(QColor(*run.format.color));
        const QList<QStringView> paragraphs = QStringView(run.text).split(QChar::ParagraphSeparator);
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            if (i > 0)
                cursor.insertBlock(cursor.blockFormat(), format);
            if (!paragraphs[i].isEmpty())
                cursor.insertText(paragraphs[i].toString(), format);
        }
    }
    cursor.endEditBlock();
}

} // namespace krambol::platform
