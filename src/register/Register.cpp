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

#include <QThread>

#include <algorithm>
#include <thread>
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

bool anyChangesWhenRead(QStringView text)
{
    return std::any_of(text.begin(), text.end(), changesWhenRead);
}

// A change of the document by someone else up to this many characters is read to keep what is known of the
// register (plain, every character reading as itself); a larger one makes the register read it all again.
constexpr int kCheckedChange = 4096;

// A register whose paragraphs hold more characters than this on average is written whole.
constexpr int kLongestParagraphInPlace = 256;

// A rewrite in place changes each character that reads otherwise one by one; past this many it is cheaper
// to write the whole text again.
int mostInPlaceChanges(const QTextDocument& document)
{
    return document.blockCount() / 2 + 256;
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

// A document of the register's, as yet nobody's. contentsChange tells every change of text or format, but
// only while the document has a layout; until a view gives it one of its own, it has one that lays out
// nothing. (contentsChanged would come without a layout too, but also after every edit block that changed
// nothing, such as a view reading text through a cursor.)
std::unique_ptr<QTextDocument> newDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDocumentLayout(new NoLayout(document.get()));
    return document;
}

// What a document takes from the register rather than from its content.
struct DocumentLook
{
    explicit DocumentLook(const QTextDocument& document)
        : font(document.defaultFont())
        , margin(document.documentMargin())
        , option(document.defaultTextOption())
        , designMetrics(document.useDesignMetrics())
        , indentWidth(document.indentWidth())
    {
    }
    void giveTo(QTextDocument& document) const
    {
        document.setDefaultFont(font);
        document.setDocumentMargin(margin);
        document.setDefaultTextOption(option);
        document.setUseDesignMetrics(designMetrics);
        document.setIndentWidth(indentWidth);
    }

    QFont font;
    qreal margin;
    QTextOption option;
    bool designMetrics;
    qreal indentWidth;
};

} // namespace

// What an open's thread leaves: the document, moved to the register's thread, or why there is none.
struct Register::Opening
{
    quint64 id = 0;
    QString path;
    std::thread thread;
    std::unique_ptr<QTextDocument> document;
    std::optional<QString> error;
    bool readsAsWritten = true;
};

Register::Register()
    : m_document(makeDocument())
{
}

std::unique_ptr<QTextDocument> Register::makeDocument()
{
    auto document = newDocument();
    watch(document.get());
    return document;
}

void Register::watch(QTextDocument* d)
{
    QObject::connect(d, &QTextDocument::contentsChange, d, [this, d](int from, int, int added) {
        if (!m_ownEdit && d == m_document.get())
            noticeChange(from, added);
    });
    // A new edit ends what redo could bring back, a deletion of the whole register too.
    QObject::connect(d, &QTextDocument::undoCommandAdded, d, [this, d] {
        if (d == m_document.get())
            m_later.clear();
    });
}

Register::~Register()
{
    // The thread of an open under way holds the register's object for its news.
    if (m_opening)
        m_opening->thread.join();
}

void Register::forgetText()
{
    m_textValid = false;
    m_text.clear();
    m_plain = -1;
    m_readsAsWritten = -1;
}

void Register::noticeChange(int from, int added)
{
    const int wasPlain = m_plain;
    const int wasReadable = m_readsAsWritten;
    forgetText();
    // What was true of the whole register stays true of it when what came in keeps it: a view's typing or a
    // small paste is read, not the whole register. (What went out cannot make a register less plain.)
    if (added > kCheckedChange || (wasPlain != 1 && wasReadable != 1))
        return;
    const int to = from + added;
    // Formats matter only to a plain register, whose paragraphs hold few fragments; one with formats of
    // its own may hold hundreds of thousands in one paragraph, and walking them costs a frame per key.
    bool formatsEmpty = wasPlain == 1;
    for (QTextBlock block = m_document->findBlock(from); formatsEmpty && block.isValid() && block.position() <= to;
         block = block.next()) {
        formatsEmpty = formatsEmpty && block.blockFormat().properties().isEmpty()
                       && block.charFormat().properties().isEmpty();
        for (auto it = block.begin(); formatsEmpty && !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to)
                break;
            if (fragment.position() + fragment.length() > from)
                formatsEmpty = fragment.charFormat().properties().isEmpty();
        }
    }
    bool readable = true;
    for (int position = from; readable && position < to; ++position)
        readable = !changesWhenRead(m_document->characterAt(position));
    if (wasReadable == 1)
        m_readsAsWritten = readable ? 1 : 0;
    if (wasPlain == 1)
        m_plain = formatsEmpty && readable ? 1 : 0;
}

bool Register::readsAsWritten() const
{
    if (m_readsAsWritten < 0)
        m_readsAsWritten = anyChangesWhenRead(m_document->toRawText()) ? 0 : 1;
    return m_readsAsWritten == 1;
}

const QString& Register::text() const
{
    waitForOpen();
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
    if (plain)
        plain = readsAsWritten();
    m_plain = plain ? 1 : 0;
    return plain;
}

void Register::setText(const QString& text)
{
    waitForOpen();
    {
        NoUndo noUndo(*m_document);
        m_ownEdit = true;
        m_document->setPlainText(text);
        m_ownEdit = false;
    }
    // Plain text keeps a no-break space or a line separator as it is written; it reads otherwise.
    forgetText();
    m_readsAsWritten = anyChangesWhenRead(text) ? -1 : 1;
    m_plain = m_readsAsWritten;
    forgetOtherDocuments();
}

void Register::forgetOtherDocuments()
{
    m_earlier.clear();
    m_later.clear();
}

std::unique_ptr<QTextDocument> Register::show(std::unique_ptr<QTextDocument> document, int caret)
{
    // The register's font, like every style of the whole register, is not undone.
    if (document->defaultFont() != m_document->defaultFont())
        document->setDefaultFont(m_document->defaultFont());
    m_document.swap(document);
    forgetText();
    if (m_replaced)
        m_replaced(caret);
    return document;
}

bool Register::clearWhole()
{
    waitForOpen();
    if (!m_document->rootFrame()->childFrames().isEmpty())
        return false;
    auto empty = makeDocument();
    DocumentLook(*m_document).giveTo(*empty);
    {
        // What deleting everything leaves: one paragraph in the last one's format, whose character
        // format (and so that of what is typed next) is the first one's.
        NoUndo noUndo(*empty);
        QTextCursor cursor(empty.get());
        cursor.setBlockFormat(m_document->lastBlock().blockFormat());
        cursor.setBlockCharFormat(m_document->firstBlock().charFormat());
    }
    // The deletion is a new edit: what redo could bring back in the kept document goes, as it would.
    m_document->clearUndoRedoStacks(QTextDocument::RedoStack);
    m_later.clear();
    m_earlier.push_back(show(std::move(empty), 0));
    return true;
}

bool Register::undoClear()
{
    waitForOpen();
    // Undoing a deletion leaves the caret after what came back; redoing it, in the empty document.
    return !m_document->isUndoAvailable() && showNext(m_earlier, m_later, true);
}

bool Register::redoClear()
{
    waitForOpen();
    return !m_document->isRedoAvailable() && showNext(m_later, m_earlier, false);
}

bool Register::showNext(Documents& from, Documents& to, bool caretAtEnd)
{
    if (from.empty())
        return false;
    std::unique_ptr<QTextDocument> next = std::move(from.back());
    from.pop_back();
    const int caret = caretAtEnd ? next->characterCount() - 1 : 0;
    to.push_back(show(std::move(next), caret));
    return true;
}

void Register::noticeOwnEntry(const QString& entry)
{
    // The write was not undoable, which ended the undo history.
    forgetOtherDocuments();
    if (anyChangesWhenRead(entry)) {
        // The entry is kept as written, and reads otherwise: the next accept writes the register whole.
        forgetText();
        m_plain = m_readsAsWritten = 0;
        return;
    }
    m_plain = m_readsAsWritten = 1;
    if (!m_textValid)
        return;
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

void Register::writeWhole(const QString& entry)
{
    if (!rewriteInPlace(entry))
        setText(text() + entry);
}

bool Register::rewriteInPlace(const QString& entry)
{
    // Writing the plain text back over the register re-inserts every paragraph: slow for a register of
    // many. The same document comes from changing in place what plain text would not keep: each character
    // that reads otherwise becomes what it reads as, and every character and paragraph loses its format.
    // Frames and tables are left to the whole write: it takes their structure out too.
    if (!m_document->rootFrame()->childFrames().isEmpty())
        return false;
    // Long paragraphs are written again faster than their runs are changed one by one: a paragraph costs
    // about as much to write as twenty runs to change.
    if (m_document->characterCount() > kLongestParagraphInPlace * m_document->blockCount())
        return false;
    QString raw;
    std::vector<int> changed;
    if (!readsAsWritten()) {
        raw = m_document->toRawText();
        for (int i = 0; i < raw.size(); ++i) {
            if (!changesWhenRead(raw.at(i)))
                continue;
            if (raw.at(i) != QChar::Nbsp && raw.at(i) != QChar::LineSeparator)
                return false;   // a frame's mark outside a frame: let the whole write deal with it
            changed.push_back(i);
        }
        if (int(changed.size()) > mostInPlaceChanges(*m_document))
            return false;
    }
    // The document keeps every format it ever used; those with no property of their own need no change.
    bool charFormats = false;
    bool blockFormats = false;
    for (const QTextFormat& format : m_document->allFormats()) {
        charFormats = charFormats || (format.isCharFormat() && !format.properties().isEmpty());
        blockFormats = blockFormats || (format.isBlockFormat() && !format.properties().isEmpty());
    }

    {
        NoUndo noUndo(*m_document);
        m_ownEdit = true;
        QTextCursor cursor(m_document.get());
        // One edit block: views hear of one change, and no cursor move asks the layout for its line.
        cursor.beginEditBlock();
        // From the end, so that the positions before each change hold.
        for (auto it = changed.rbegin(); it != changed.rend(); ++it) {
            cursor.setPosition(*it);
            cursor.setPosition(*it + 1, QTextCursor::KeepAnchor);
            if (raw.at(*it) == QChar::Nbsp)
                cursor.insertText(QStringLiteral(" "), QTextCharFormat());
            else
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        }
        if (charFormats || blockFormats) {
            cursor.setPosition(0);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            // The range takes the break of every paragraph but the first with it, and so its format.
            if (charFormats && cursor.hasSelection())
                cursor.setCharFormat(QTextCharFormat());
            if (blockFormats)
                cursor.setBlockFormat(QTextBlockFormat());
        }
        if (!m_document->begin().charFormat().properties().isEmpty()) {
            cursor.setPosition(0);
            cursor.setBlockCharFormat(QTextCharFormat());
        }
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(entry, QTextCharFormat());
        cursor.endEditBlock();
        m_ownEdit = false;
    }
    noticeOwnEntry(entry);
    return true;
}

void Register::append(const QString& entry)
{
    waitForOpen();
    if (!isPlain()) {
        writeWhole(entry);
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
    noticeOwnEntry(entry);
}

QFont Register::font() const
{
    waitForOpen();
    return m_document->defaultFont();
}

void Register::setFont(const QFont& font)
{
    waitForOpen();
    // The document tells it as a change of all of its text; the text and its formats stay as they are.
    m_ownEdit = true;
    m_document->setDefaultFont(font);
    m_ownEdit = false;
}

void Register::applyToWholeContent(const QTextCharFormat& format, std::initializer_list<int> properties)
{
    waitForOpen();
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
    // The text stays, and a register that was plain had no format to change; one that was not may be now.
    m_ownEdit = true;
    QTextCursor cursor(m_document.get());
    cursor.beginEditBlock();
    for (const Range& range : ranges) {
        cursor.setPosition(range.start);
        cursor.setPosition(range.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(cleared.value(range.format));
    }
    cursor.endEditBlock();
    m_ownEdit = false;
    if (m_plain == 0)
        m_plain = -1;
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
    return write(path, snapshot());
}

rtf::Document Register::snapshot() const
{
    waitForOpen();
    // A plain register is one run in its font over its plain text, which the register keeps: when that is
    // one paragraph, the snapshot shares it instead of copying the document's text (megabytes of memory
    // touched afresh at every save of a large register).
    if (isPlain()) {
        const QString& all = text();
        if (!all.isEmpty() && !all.contains(u'\n'))
            return rtf::Document(all, {shownFormat(QTextCharFormat(), m_document->defaultFont())},
                                 {rtf::Document::Span{qint32(all.size()), 0}});
    }
    return toRtfDocument(*m_document);
}

std::optional<QString> Register::write(const QString& path, const rtf::Document& snapshot,
                                       platform::ReplacedFile* replaced)
{
    // The bytes go to the file as they are written, so that they are never all held at once.
    return platform::replaceFileWhole(
        path, [&snapshot](const platform::FileSink& sink) { rtf::write(snapshot, sink); }, replaced);
}

std::optional<QString> Register::open(const QString& path)
{
    beginOpen(path);
    return finishOpen();
}

void Register::beginOpen(const QString& path)
{
    waitForOpen();
    auto opening = std::make_unique<Opening>();
    static quint64 opens = 0;
    opening->id = ++opens;
    opening->path = path;
    Opening* const o = opening.get();
    m_opening = std::move(opening);
    // The document is built where it is read, and then handed to this thread; nothing else is shared.
    o->thread = std::thread([this, o, look = DocumentLook(*m_document), home = QThread::currentThread()] {
        const platform::WholeFileRead file = platform::readRegularFile(
            o->path, kLargestFile,
            QStringLiteral("Файл слишком велик для списка должников: больше %1 МБ.").arg(kLargestFile / (1024 * 1024)));
        if (file.error) {
            o->error = file.error;
        } else if (const rtf::ReadResult result = rtf::read(file.bytes); result.error) {
            o->error = result.error->message();
        } else {
            // No layout yet: a view gives it its own, which is cheaper for a document that never had one.
            o->document = std::make_unique<QTextDocument>();
            look.giveTo(*o->document);
            {
                NoUndo noUndo(*o->document);
                QTextCursor cursor(o->document.get());
                insertRtfDocument(cursor, result.document);
            }
            o->readsAsWritten = !anyChangesWhenRead(result.document.text());
            o->document->moveToThread(home);
        }
        QMetaObject::invokeMethod(&m_news, [this, id = o->id] {
            if (m_opening && m_opening->id == id)
                finishOpen();
        }, Qt::QueuedConnection);
    });
}

std::optional<QString> Register::finishOpen()
{
    if (!m_opening)
        return std::nullopt;
    const std::unique_ptr<Opening> done = std::move(m_opening);
    done->thread.join();
    if (!done->error) {
        watch(done->document.get());
        show(std::move(done->document), 0);
        // A view gives the document a layout of its own; without one, it has the one that lays out nothing.
        if (!m_document->findChild<QAbstractTextDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly))
            m_document->setDocumentLayout(new NoLayout(m_document.get()));
        m_readsAsWritten = done->readsAsWritten ? 1 : -1;
        forgetOtherDocuments();
    }
    if (m_openEnded)
        m_openEnded(done->path, done->error);
    return done->error;
}

QString Register::rtfBetween(int from, int to) const
{
    return rtfBetweenLater(from, to)();
}

std::function<QString()> Register::rtfBetweenLater(int from, int to) const
{
    waitForOpen();
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
