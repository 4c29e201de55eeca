// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/Register.h"

#include "platform/WholeFile.h"
#include "register/RichTextDocument.h"
#include "rtf/Reader.h"
#include "rtf/Writer.h"
#include "textpane/QuietEdits.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace krambol::reg {

using textpane::NoUndo;
using textpane::quietly;

namespace {

// A register file larger than this is not a register: refuse it rather than exhaust memory. Showing a
// file takes up to ten times its size in memory (the reader refuses what would take more), so 64 MiB may
// take 640 MiB; a register spends about 95 bytes on an entry, so this leaves room for 700 000 entries.
constexpr qint64 kLargestFile = qint64(64) * 1024 * 1024;

// Characters that plain text reading changes (a no-break space reads as a space, a line separator as a
// line break): a register holding them is not kept by a plain append.
bool changesWhenRead(QChar c)
{
    const char16_t u = c.unicode();
    return u == QChar::Nbsp || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1;
}

// A document layout that lays out nothing.
class NoLayout final : public QAbstractTextDocumentLayout
{
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

bool beginsWithRtfHeader(QStringView text)
{
    return text.trimmed().startsWith(u"{\\rtf");
}

QByteArray rtfBytes(const QString& text)
{
    // RTF source is 7-bit text; bytes above that can only have come in as code page characters.
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return text.toUtf8();
    return text.toLatin1();
}

} // namespace

Register::Register()
    : m_document(std::make_unique<QTextDocument>())
{
    // contentsChange tells every change of text or format, but only while the document has a layout;
    // until a view gives it one of its own, it has one that lays out nothing. (contentsChanged would
    // come without a layout too, but also after every edit block that changed nothing, such as a view
    // reading text through a cursor.)
    m_document->setDocumentLayout(new NoLayout(m_document.get()));
    QObject::connect(m_document.get(), &QTextDocument::contentsChange, m_document.get(), [this] {
        if (!m_ownEdit)
            forgetText();
    });
}

Register::~Register() = default;

void Register::forgetText()
{
    m_textValid = false;
    m_text.clear();
    m_plain = -1;
}

const QString& Register::text() const
{
    if (!m_textValid) {
        m_text = m_document->toPlainText();
        m_textValid = true;
    }
    return m_text;
}

bool Register::isPlain() const
{
    if (m_plain >= 0)
        return m_plain == 1;
    // Plain: what reading the text and writing it back as plain text would leave is the document as it
    // is, with no format of its own on any character or paragraph and no character that reads otherwise.
    bool plain = m_document->rootFrame()->childFrames().isEmpty();
    // The document keeps every format it ever used. When none of them has a property, no paragraph or
    // character can carry one, and the paragraphs need no walk.
    const QList<QTextFormat> formats = m_document->allFormats();
    const bool everyFormatEmpty = std::all_of(formats.begin(), formats.end(), [](const QTextFormat& format) {
        return !(format.isCharFormat() || format.isBlockFormat()) || format.properties().isEmpty();
    });
    for (QTextBlock block = m_document->begin(); plain && !everyFormatEmpty && block.isValid(); block = block.next()) {
        if (!block.blockFormat().properties().isEmpty() || !block.charFormat().properties().isEmpty())
            plain = false;
        for (auto it = block.begin(); plain && !it.atEnd(); ++it)
            if (!it.fragment().charFormat().properties().isEmpty())
                plain = false;
    }
    if (plain) {
        const QString raw = m_document->toRawText();
        plain = std::none_of(raw.begin(), raw.end(), changesWhenRead);
    }
    m_plain = plain ? 1 : 0;
    return plain;
}

void Register::setText(const QString& text)
{
    {
        NoUndo noUndo(*m_document);
        m_document->setPlainText(text);
    }
    forgetText();
}

void Register::append(const QString& entry)
{
    if (text().isEmpty() || std::any_of(entry.begin(), entry.end(), changesWhenRead) || !isPlain()) {
        setText(text() + entry);
        return;
    }
    // The old text is the plain text it reads as: writing it back would change nothing, so only the
    // entry is written, and a view lays out only the lines at the end again.
    {
        NoUndo noUndo(*m_document);
        m_ownEdit = true;
        QTextCursor end(m_document.get());
        quietly(end, [&] {
            end.movePosition(QTextCursor::End);
            end.insertText(entry);
        });
        m_ownEdit = false;
    }
    // The document reads a written "\r\n", "\r" or paragraph separator as a line break; the plain text
    // kept here must read as the document does.
    if (entry.contains(u'\r') || entry.contains(QChar::ParagraphSeparator)) {
        QString read = entry;
        read.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        read.replace(u'\r', u'\n').replace(QChar::ParagraphSeparator, u'\n');
        m_text += read;
    } else {
        m_text += entry;
    }
}

QFont Register::font() const
{
    return m_document->defaultFont();
}

void Register::setFont(const QFont& font)
{
    m_document->setDefaultFont(font);
}

void Register::applyToWholeContent(const QTextCharFormat& format, std::initializer_list<int> properties)
{
    // The register's font takes the property, so text in it (and plain text written later) shows it.
    setFont(format.font().resolve(font()));

    // Text with a format of its own shows the register's font wherever its format is silent, so it takes
    // the property too once its format no longer holds one of its own: that is taken out of every format
    // that holds it. The work is done per distinct format, and after it no format holds the property, so
    // styling again changes nothing but the register's font.
    const QList<QTextFormat> formats = m_document->allFormats();
    QHash<int, QTextCharFormat> cleared;   // by format index: the format without the property
    for (qsizetype index = 0; index < formats.size(); ++index) {
        const QTextFormat& own = formats.at(index);
        if (!own.isCharFormat())
            continue;
        if (std::none_of(properties.begin(), properties.end(), [&](int p) { return own.hasProperty(p); }))
            continue;
        QTextCharFormat without = own.toCharFormat();
        for (int p : properties)
            without.clearProperty(p);
        cleared.insert(int(index), without);
    }
    if (cleared.isEmpty())
        return;   // nothing holds it: the whole register already shows the register's font there

    // The ranges first, the changes after: a change joins fragments that come to share a format, and a
    // walk over fragments that are being joined would lose its way.
    struct Range
    {
        int start;
        int end;
        int format;
    };
    std::vector<Range> ranges;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int index = fragment.charFormatIndex();
            if (!cleared.contains(index))
                continue;
            const int start = fragment.position();
            const int end = start + fragment.length();
            if (!ranges.empty() && ranges.back().end == start && ranges.back().format == index)
                ranges.back().end = end;
            else
                ranges.push_back(Range{start, end, index});
        }
    }
    if (ranges.empty())
        return;   // only formats nothing uses any more hold it

    // One undo step, as any edit of the text: undoing it gives the runs back what they held of their own;
    // the register's font, like every style of the whole register, stays.
    QTextCursor cursor(m_document.get());
    cursor.beginEditBlock();
    for (const Range& range : ranges) {
        cursor.setPosition(range.start);
        cursor.setPosition(range.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(cleared.value(range.format));
    }
    cursor.endEditBlock();
}

void Register::setBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyToWholeContent(format, {QTextFormat::FontWeight});
}

void Register::setItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    applyToWholeContent(format, {QTextFormat::FontItalic});
}

void Register::setUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    applyToWholeContent(format, {QTextFormat::TextUnderlineStyle, QTextFormat::FontUnderline});
}

void Register::setPointSize(qreal points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    applyToWholeContent(format, {QTextFormat::FontPointSize, QTextFormat::FontPixelSize});
}

std::optional<QString> Register::save(const QString& path) const
{
    return platform::replaceFileWhole(path, rtf::write(toRtfDocument(*m_document)));
}

std::optional<QString> Register::open(const QString& path)
{
    const platform::WholeFileRead file = platform::readRegularFile(
        path, kLargestFile,
        QStringLiteral("Файл слишком велик для списка должников: больше %1 МБ.").arg(kLargestFile / (1024 * 1024)));
    if (file.error)
        return file.error;
    const rtf::ReadResult result = rtf::read(file.bytes);
    if (result.error)
        return result.error->message();
    {
        NoUndo noUndo(*m_document);
        m_document->clear();
        QTextCursor cursor(m_document.get());
        insertRtfDocument(cursor, result.document);
    }
    forgetText();
    return std::nullopt;
}

QString Register::rtfBetween(int from, int to) const
{
    return rtfBetweenLater(from, to)();
}

std::function<QString()> Register::rtfBetweenLater(int from, int to) const
{
    const auto written = [](const rtf::Document& part) { return QString::fromLatin1(rtf::write(part)); };
    if (!isPlain())
        return [part = toRtfDocument(*m_document, from, to), written] { return written(part); };

    // One run in the register's font; the plain text is kept anyway and is shared, not copied, when the
    // part is all of it.
    const QString& all = text();
    if (to < 0 || to > all.size())
        to = int(all.size());
    from = qBound(0, from, to);
    if (to > from && all.at(to - 1) == u'\n')
        --to;   // as for any register: a part that ends just after a paragraph break leaves the break out
    return [text = all.mid(from, to - from), format = shownFormat(QTextCharFormat(), m_document->defaultFont()),
            written] {
        QString runText = text;
        runText.replace(u'\n', QChar::ParagraphSeparator);
        rtf::Document part;
        part.append(format, runText);
        return written(part);
    };
}

void Register::insertClipboardText(QTextCursor& cursor, const QString& text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (beginsWithRtfHeader(text))
        insertRtfDocument(cursor, rtf::read(rtfBytes(text)).document);
    else
        cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
}

} // namespace krambol::reg
