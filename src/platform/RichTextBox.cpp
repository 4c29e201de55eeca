#include "platform/RichTextBox.h"

#include "platform/RichTextBoxAccessible.h"
#include "platform/RichTextDocument.h"
#include "platform/TextLines.h"
#include "platform/WholeFile.h"
#include "platform/Twips.h"
#include "platform/rtf/Reader.h"
#include "platform/rtf/Writer.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cmath>

namespace krambol::platform {

namespace {

// A register file larger than this is not a register: refuse it rather than exhaust memory. Showing a file
// takes up to ten times its size in memory (the reader refuses what would take more), so 64 MiB may take
// 640 MiB; a register spends about 95 bytes on an entry, so this leaves room for 700 000 entries.
constexpr qint64 kLargestFile = qint64(64) * 1024 * 1024;

// Characters laid out in one idle step: a few milliseconds, so that input never waits long.
constexpr int kIdleStep = 6000;

// Characters that plain text reading changes (a no-break space reads as a space, a line separator as a
// line break): a register holding them is not rewritten by a plain append.
bool changesWhenRead(QChar c)
{
    const char16_t u = c.unicode();
    return u == QChar::Nbsp || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1;
}

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

// Runs a cursor operation inside an edit block. Outside one, a cursor that moves or writes asks the
// paragraph's own layout which line it is on, and that itemizes the whole paragraph: tens of
// milliseconds for a register of a hundred thousand entries, on every move after a change.
template <typename Operation>
void quietly(QTextCursor& cursor, Operation operation)
{
    cursor.beginEditBlock();
    operation();
    cursor.endEditBlock();
}

void place(QTextCursor& cursor, int position, QTextCursor::MoveMode mode = QTextCursor::MoveAnchor)
{
    quietly(cursor, [&] { cursor.setPosition(position, mode); });
}

// Writes to the document without leaving an undo step: what the application writes replaces the
// content, and the user's earlier edits cannot be undone into it.
class NoUndo
{
public:
    explicit NoUndo(QTextDocument& document)
        : m_document(document)
    {
        m_document.setUndoRedoEnabled(false);
    }
    ~NoUndo() { m_document.setUndoRedoEnabled(true); }
    NoUndo(const NoUndo&) = delete;
    NoUndo& operator=(const NoUndo&) = delete;

private:
    QTextDocument& m_document;
};

} // namespace

RichTextBox::RichTextBox(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(new QTextDocument(this))
    , m_lines(std::make_unique<TextLines>(*m_document))
    , m_cursor(m_document)
{
    m_document->setDefaultFont(font());
    m_lines->onChange([this] { contentsChanged(); });
    connect(m_document, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (QAccessible::isActive() && (removed > 0 || added > 0)) {
            // A screen reader hears what came in; what went out is no longer there to tell.
            const QString inserted = m_lines->textBetween(from, from + added);
            if (removed == 0) {
                QAccessibleTextInsertEvent event(this, from, inserted);
                QAccessible::updateAccessibility(&event);
            } else {
                QAccessibleTextUpdateEvent event(this, from, QString(removed, u' '), inserted);
                QAccessible::updateAccessibility(&event);
            }
        }
        if (m_ownEdit)
            return;
        m_plainTextValid = false;
        m_plainText.clear();
        m_plainDocument = -1;
    });
    RichTextBoxAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(m_pointer);
    m_lines->setWidth(viewport()->width() - 2 * margin());
}

RichTextBox::~RichTextBox()
{
    // The lines go first: the document would otherwise tell them of its own destruction.
    m_lines.reset();
}

qreal RichTextBox::margin() const
{
    return m_document->documentMargin();
}

void RichTextBox::contentsChanged()
{
    m_targetX = -1;
    scheduleIdleWork();
    viewport()->update();
}

const QString& RichTextBox::plainText() const
{
    if (!m_plainTextValid) {
        m_plainText = m_document->toPlainText();
        m_plainTextValid = true;
    }
    return m_plainText;
}

QString RichTextBox::text() const
{
    return plainText();
}

bool RichTextBox::isPlainDocument() const
{
    if (m_plainDocument >= 0)
        return m_plainDocument == 1;
    // Plain: what reading the text and writing it back as plain text would leave is the document as it
    // is, with no format of its own on any character or paragraph and no character that reads otherwise.
    bool plain = true;
    for (QTextBlock block = m_document->begin(); plain && block.isValid(); block = block.next()) {
        if (!block.blockFormat().properties().isEmpty() || !block.charFormat().properties().isEmpty())
            plain = false;
        for (auto it = block.begin(); plain && !it.atEnd(); ++it)
            if (!it.fragment().charFormat().properties().isEmpty())
                plain = false;
    }
    if (plain && !m_document->rootFrame()->childFrames().isEmpty())
        plain = false;
    if (plain) {
        QTextCursor all(m_document);
        quietly(all, [&] { all.select(QTextCursor::Document); });
        const QString raw = all.selectedText();
        plain = std::none_of(raw.begin(), raw.end(), changesWhenRead);
    }
    m_plainDocument = plain ? 1 : 0;
    return plain;
}

void RichTextBox::setText(const QString& text)
{
    const QString& current = plainText();
    const QStringView added = QStringView(text).mid(current.size());
    const bool append = !current.isEmpty() && text.size() > current.size() && text.startsWith(current)
                        && std::none_of(added.begin(), added.end(), changesWhenRead) && isPlainDocument();
    {
        NoUndo noUndo(*m_document);
        if (append) {
            // The old text is the plain text it reads as: writing it back would change nothing, so only
            // the new end is written, and only the lines at the end are laid out again.
            m_ownEdit = true;
            QTextCursor end(m_document);
            quietly(end, [&] {
                end.movePosition(QTextCursor::End);
                end.insertText(added.toString());
            });
            m_ownEdit = false;
            // The document reads a written "\r\n", "\r" or paragraph separator as a line break; the
            // plain text kept here must read as the document does. Without them it is the text given,
            // shared rather than copied.
            if (added.contains(u'\r') || added.contains(QChar::ParagraphSeparator)) {
                QString read = added.toString();
                read.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                read.replace(u'\r', u'\n').replace(QChar::ParagraphSeparator, u'\n');
                m_plainText += read;
            } else {
                m_plainText = text;
            }
            m_plainTextValid = true;
        } else {
            m_document->setPlainText(text);
        }
    }
    m_cursor = QTextCursor(m_document);
    verticalScrollBar()->setValue(0);
    edited();
}

void RichTextBox::setLocked(bool locked)
{
    m_locked = locked;
    setAttribute(Qt::WA_InputMethodEnabled, !locked);
    viewport()->setCursor(m_pointer);
    viewport()->update();
}

QFont RichTextBox::registerFont() const
{
    return m_document->defaultFont();
}

void RichTextBox::applyToWholeContent(const QTextCharFormat& format)
{
    // The control's own font takes the property, so text in it (and plain text written later) shows it;
    // text that carries a font of its own takes it too.
    m_document->setDefaultFont(format.font().resolve(registerFont()));
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().properties().isEmpty())
                continue;
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
    }
    cursor.endEditBlock();
    viewport()->update();
}

void RichTextBox::setFontBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyToWholeContent(format);
}

void RichTextBox::setFontItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    applyToWholeContent(format);
}

void RichTextBox::setFontUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    applyToWholeContent(format);
}

void RichTextBox::setFontSize(qreal points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    applyToWholeContent(format);
}

QColor RichTextBox::backgroundColor() const
{
    return viewport()->palette().color(QPalette::Base);
}

void RichTextBox::setBackgroundColor(const QColor& color)
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, color);
    viewport()->setPalette(palette);
    setPalette(palette);
}

std::optional<QString> RichTextBox::saveFile(const QString& path) const
{
    return replaceFileWhole(path, rtf::write(toRtfDocument(*m_document)));
}

std::optional<QString> RichTextBox::loadFile(const QString& path)
{
    const WholeFileRead file = readRegularFile(
        path, kLargestFile,
        QStringLiteral("Файл слишком велик для списка должников: больше %1 МБ.").arg(kLargestFile / (1024 * 1024)));
    if (file.error)
        return file.error;
    const QByteArray& bytes = file.bytes;

    const rtf::ReadResult result = rtf::read(bytes);
    if (result.error)
        return result.error->message();
    {
        NoUndo noUndo(*m_document);
        m_document->clear();
        QTextCursor cursor(m_document);
        insertRtfDocument(cursor, result.document);
    }
    m_cursor = QTextCursor(m_document);
    verticalScrollBar()->setValue(0);
    edited();
    return std::nullopt;
}

QString RichTextBox::selectionRtf() const
{
    return QString::fromLatin1(
        rtf::write(toRtfDocument(*m_document, m_cursor.selectionStart(), m_cursor.selectionEnd())));
}

void RichTextBox::setSelectionRtf(const QString& text)
{
    m_cursor.beginEditBlock();
    m_cursor.removeSelectedText();
    if (beginsWithRtfHeader(text)) {
        // A broken or cut-off document still gives what could be read of it.
        insertRtfDocument(m_cursor, rtf::read(rtfBytes(text)).document);
    } else {
        m_cursor.insertText(text, QTextCharFormat());
    }
    m_cursor.endEditBlock();
    edited();
}

int RichTextBox::selectionLength() const
{
    return m_cursor.selectionEnd() - m_cursor.selectionStart();
}

void RichTextBox::deleteSelection()
{
    quietly(m_cursor, [&] { m_cursor.removeSelectedText(); });
    edited();
}

void RichTextBox::printSelection(QPrinter* printer) const
{
    QTextDocument part;
    part.setDefaultFont(m_document->defaultFont());
    QTextCursor into(&part);
    if (m_cursor.hasSelection()) {
        into.insertFragment(m_cursor.selection());
    } else {
        QTextCursor all(m_document);
        quietly(all, [&] { all.select(QTextCursor::Document); });
        into.insertFragment(all.selection());
    }
    part.print(printer);
}

void RichTextBox::setPointer(const QCursor& pointer)
{
    m_pointer = pointer;
    viewport()->setCursor(m_pointer);
}

void RichTextBox::setHeightTwips(int twips)
{
    resize(width(), twipsToPixels(twips));
}

// --- caret and selection -------------------------------------------------------------------------------

void RichTextBox::setTextCursor(const QTextCursor& cursor)
{
    if (cursor.document() != m_document)
        return;
    m_cursor = cursor;
    m_targetX = -1;
    m_typedTo = -1;
    ensureCursorVisible();
    restartBlink();
    viewport()->update();
    notifyCaretMoved();
}

void RichTextBox::selectAll()
{
    place(m_cursor, 0);
    place(m_cursor, endPosition(), QTextCursor::KeepAnchor);
    viewport()->update();
}

int RichTextBox::endPosition() const
{
    return m_document->characterCount() - 1;
}

QRect RichTextBox::cursorRect() const
{
    auto* self = const_cast<RichTextBox*>(this);
    const int position = m_cursor.position();
    self->m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    const qreal top = margin() - verticalScrollBar()->value();
    if (index < 0) {
        const int height = QFontMetrics(registerFont()).height();
        return QRect(int(margin()), int(top), 1, height);
    }
    const TextLines::Line& line = m_lines->line(index);
    const qreal x = margin() + self->caretX(position);
    return QRect(int(x), int(std::floor(top + line.y)), 1, int(std::ceil(line.height)));
}

qreal RichTextBox::caretX(int position)
{
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    if (index < 0)
        return 0;
    const TextLines::Line& line = m_lines->line(index);
    const QTextLayout& shaped = m_lines->shaped(index);
    return shaped.lineCount() > 0 ? shaped.lineAt(0).cursorToX(position - line.start) : 0;
}

QRect RichTextBox::characterRect(int position) const
{
    position = std::clamp(position, 0, endPosition());
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    const qreal top = margin() - verticalScrollBar()->value();
    if (index < 0)
        return {};
    const TextLines::Line& line = m_lines->line(index);
    const QTextLayout& shaped = m_lines->shaped(index);
    if (shaped.lineCount() == 0)
        return {};
    const QTextLine text = shaped.lineAt(0);
    const qreal left = text.cursorToX(position - line.start);
    const qreal right = position < line.start + line.length ? text.cursorToX(position + 1 - line.start)
                                                            : left + QFontMetricsF(registerFont()).averageCharWidth();
    return QRectF(margin() + std::min(left, right), top + line.y, std::abs(right - left), line.height).toAlignedRect();
}

void RichTextBox::ensureCursorVisible()
{
    const QRect caret = cursorRect();
    QScrollBar* bar = verticalScrollBar();
    updateScrollBars();
    if (caret.top() < 0)
        bar->setValue(bar->value() + caret.top() - int(margin()));
    else if (caret.bottom() > viewport()->height())
        bar->setValue(bar->value() + caret.bottom() - viewport()->height() + int(margin()));
}

int RichTextBox::positionAt(QPoint point) const
{
    const qreal y = point.y() + verticalScrollBar()->value() - margin();
    m_lines->layoutToY(y);
    const int index = m_lines->lineAtY(y);
    if (index < 0)
        return 0;
    const TextLines::Line& line = m_lines->line(index);
    const QTextLayout& shaped = m_lines->shaped(index);
    int column = shaped.lineCount() > 0 ? shaped.lineAt(0).xToCursor(point.x() - margin()) : 0;
    // Past the end of a wrapped line the caret stays on that line, before the space it wrapped at.
    if (!line.lastInBlock && line.length > 0 && column >= line.length)
        column = line.length - 1;
    return line.start + std::clamp(column, 0, line.length);
}

int RichTextBox::previousCharacter(int position) const
{
    if (position <= 0)
        return 0;
    const QTextBlock block = m_document->findBlock(position);
    if (position == block.position())
        return position - 1;
    const int from = std::max(block.position(), position - 32);
    const int to = std::min(block.position() + block.length() - 1, position + 32);
    const QString text = m_lines->textBetween(from, to);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(position - from);
    const qsizetype previous = finder.toPreviousBoundary();
    return previous < 0 ? position - 1 : from + int(previous);
}

int RichTextBox::nextCharacter(int position) const
{
    const int end = endPosition();
    if (position >= end)
        return end;
    const QTextBlock block = m_document->findBlock(position);
    const int blockEnd = block.position() + block.length() - 1;
    if (position == blockEnd)
        return position + 1;
    const int from = std::max(block.position(), position - 32);
    const int to = std::min(blockEnd, position + 32);
    const QString text = m_lines->textBetween(from, to);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(position - from);
    const qsizetype next = finder.toNextBoundary();
    return next < 0 ? position + 1 : from + int(next);
}

namespace {
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}
} // namespace

int RichTextBox::previousWord(int position) const
{
    // To the start of the word before the caret (or of the one it is in), over the spaces before it.
    const QTextBlock block = m_document->findBlock(position);
    if (position == block.position())
        return std::max(0, position - 1);
    const int from = std::max(block.position(), position - 512);
    const QString text = m_lines->textBetween(from, position);
    qsizetype i = text.size();
    while (i > 0 && !isWordCharacter(text[i - 1]))
        --i;
    while (i > 0 && isWordCharacter(text[i - 1]))
        --i;
    return from + int(i);
}

int RichTextBox::nextWord(int position) const
{
    // To the start of the next word.
    const QTextBlock block = m_document->findBlock(position);
    const int blockEnd = block.position() + block.length() - 1;
    if (position == blockEnd)
        return std::min(endPosition(), position + 1);
    const int to = std::min(blockEnd, position + 512);
    const QString text = m_lines->textBetween(position, to);
    qsizetype i = 0;
    while (i < text.size() && isWordCharacter(text[i]))
        ++i;
    while (i < text.size() && !isWordCharacter(text[i]))
        ++i;
    return position + int(i);
}

int RichTextBox::lineStartOf(int position)
{
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    return index < 0 ? position : m_lines->line(index).start;
}

int RichTextBox::lineEndOf(int position)
{
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    if (index < 0)
        return position;
    const TextLines::Line& line = m_lines->line(index);
    return line.start + (line.lastInBlock || line.length == 0 ? line.length : line.length - 1);
}

int RichTextBox::verticalMove(int position, int lines)
{
    m_lines->layoutToPosition(position);
    int index = m_lines->lineForPosition(position);
    if (index < 0)
        return position;
    if (m_targetX < 0)
        m_targetX = caretX(position);
    if (lines > 0)
        m_lines->layoutToY(m_lines->line(index).y + m_lines->line(index).height * (lines + 1) + 1);
    const int target = std::clamp(index + lines, 0, m_lines->count() - 1);
    if (target == index)
        return lines < 0 ? 0 : endPosition();
    const TextLines::Line& line = m_lines->line(target);
    const QTextLayout& shaped = m_lines->shaped(target);
    int column = shaped.lineCount() > 0 ? shaped.lineAt(0).xToCursor(m_targetX) : 0;
    if (!line.lastInBlock && line.length > 0 && column >= line.length)
        column = line.length - 1;
    return line.start + std::clamp(column, 0, line.length);
}

void RichTextBox::moveCaret(int position, QTextCursor::MoveMode mode, bool keepX)
{
    place(m_cursor, std::clamp(position, 0, endPosition()), mode);
    m_typedTo = -1;
    if (!keepX)
        m_targetX = -1;
    ensureCursorVisible();
    restartBlink();
    viewport()->update();
    notifyCaretMoved();
}

void RichTextBox::edited()
{
    m_targetX = -1;
    m_typedTo = -1;
    updateScrollBars();
    ensureCursorVisible();
    restartBlink();
    viewport()->update();
    notifyCaretMoved();
}

void RichTextBox::insertTyped(const QString& text)
{
    // Typing on from where the last typed text ended joins its undo step, so that undo takes back what
    // was typed as a whole rather than a letter at a time.
    const bool typingOn = !m_cursor.hasSelection() && m_cursor.position() == m_typedTo
                          && m_document->availableUndoSteps() == m_typedSteps;
    if (typingOn)
        m_cursor.joinPreviousEditBlock();
    else
        m_cursor.beginEditBlock();
    m_cursor.insertText(text);
    m_cursor.endEditBlock();
    edited();
    m_typedTo = m_cursor.position();
    m_typedSteps = m_document->availableUndoSteps();
}

void RichTextBox::copyToClipboard() const
{
    if (m_cursor.hasSelection())
        QGuiApplication::clipboard()->setText(m_cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void RichTextBox::selectWordAt(int position)
{
    const QTextBlock block = m_document->findBlock(position);
    const int blockEnd = block.position() + block.length() - 1;
    const int from = std::max(block.position(), position - 256);
    const int to = std::min(blockEnd, position + 256);
    const QString text = m_lines->textBetween(from, to);
    qsizetype start = position - from;
    qsizetype end = start;
    while (start > 0 && isWordCharacter(text[start - 1]))
        --start;
    while (end < text.size() && isWordCharacter(text[end]))
        ++end;
    place(m_cursor, from + int(start));
    place(m_cursor, from + int(end), QTextCursor::KeepAnchor);
    viewport()->update();
}

// --- events ---------------------------------------------------------------------------------------------

bool RichTextBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys the pane uses itself do not go to a shortcut of the window (a filter may still let the
        // menu's own keys through first).
        auto* key = static_cast<QKeyEvent*>(event);
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)
            || (!m_locked
                && (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)
                    || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)))
            || (!command && !key->text().isEmpty() && !m_locked)) {
            event->accept();
            return true;
        }
    }
    // Tab and Shift+Tab move through the window's tab order whether or not the register is locked. While
    // editing, Ctrl+Tab types a tab, as in the classic multi-line fields; otherwise it moves on too.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab) {
            const bool backwards = key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier;
            const bool control = key->modifiers() & Qt::ControlModifier;
            if (control && !backwards && !m_locked && !m_tabChangesFocus)
                insertTyped(QStringLiteral("\t"));
            else
                focusNextPrevChild(!backwards);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void RichTextBox::changeEvent(QEvent* event)
{
    // As with Qt's own editors, the widget's font is the document's font.
    if (event->type() == QEvent::FontChange)
        m_document->setDefaultFont(font());
    QAbstractScrollArea::changeEvent(event);
}

void RichTextBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const qreal left = margin();
    const qreal top = margin() - verticalScrollBar()->value();
    m_lines->layoutToY(area.bottom() - top + 1);
    int index = m_lines->lineAtY(area.top() - top);
    if (index < 0)
        return;

    painter.setPen(palette().color(QPalette::Text));
    const int selectionStart = m_cursor.selectionStart();
    const int selectionEnd = m_cursor.selectionEnd();
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const int caret = m_caretShown && hasFocus() ? m_cursor.position() : -1;
    const int caretLine = caret >= 0 ? m_lines->lineForPosition(caret) : -1;

    for (; index < m_lines->count(); ++index) {
        const TextLines::Line& line = m_lines->line(index);
        const qreal y = top + line.y;
        if (y > area.bottom())
            break;
        const QTextLayout& shaped = m_lines->shaped(index);
        QList<QTextLayout::FormatRange> selections;
        const int lineEnd = line.start + line.length + (line.lastInBlock ? 1 : 0);
        if (selectionStart < selectionEnd && selectionStart < lineEnd && selectionEnd > line.start) {
            const int from = std::max(selectionStart, line.start) - line.start;
            const int to = std::min(selectionEnd, line.start + line.length) - line.start;
            if (to > from)
                selections.append(QTextLayout::FormatRange{from, to - from, selected});
        }
        shaped.draw(&painter, QPointF(left, y), selections);
        if (index == caretLine)
            shaped.drawCursor(&painter, QPointF(left, y), caret - line.start, 1);
    }
    if (!m_lines->complete())
        scheduleIdleWork();
}

void RichTextBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_lines->setWidth(viewport()->width() - 2 * margin());
    updateScrollBars();
    scheduleIdleWork();
    viewport()->update();
}

void RichTextBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

void RichTextBox::updateScrollBars()
{
    QScrollBar* bar = verticalScrollBar();
    const int page = viewport()->height();
    const int total = int(std::ceil(m_lines->height() + 2 * margin()));
    bar->setRange(0, std::max(0, total - page));
    bar->setPageStep(page);
    bar->setSingleStep(QFontMetrics(registerFont()).lineSpacing());
}

void RichTextBox::notifyCaretMoved()
{
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, m_cursor.position());
        QAccessible::updateAccessibility(&moved);
    }
}

void RichTextBox::scheduleIdleWork()
{
    if (!m_idle.isActive())
        m_idle.start(0, this);
}

void RichTextBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect().adjusted(-2, 0, 2, 0));
        return;
    }
    if (event->timerId() == m_idle.timerId()) {
        // The lines below what has been shown are laid out a step at a time while nothing else happens,
        // and the scroll bar follows the height as it becomes known.
        const bool more = m_lines->layoutSome(kIdleStep);
        updateScrollBars();
        if (!more)
            m_idle.stop();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void RichTextBox::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void RichTextBox::focusInEvent(QFocusEvent* event)
{
    restartBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void RichTextBox::focusOutEvent(QFocusEvent* event)
{
    m_blink.stop();
    m_caretShown = false;
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void RichTextBox::keyPressEvent(QKeyEvent* event)
{
    const QTextCursor::MoveMode mode =
        event->modifiers() & Qt::ShiftModifier ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int position = m_cursor.position();

    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        moveCaret(control ? previousWord(position) : previousCharacter(position), mode);
        return;
    case Qt::Key_Right:
        moveCaret(control ? nextWord(position) : nextCharacter(position), mode);
        return;
    case Qt::Key_Up:
        moveCaret(verticalMove(position, -1), mode, true);
        return;
    case Qt::Key_Down:
        moveCaret(verticalMove(position, 1), mode, true);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int lineHeight = std::max(1, QFontMetrics(registerFont()).lineSpacing());
        const int lines = std::max(1, viewport()->height() / lineHeight - 1);
        const int step = event->key() == Qt::Key_PageUp ? -lines : lines;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + step * lineHeight);
        moveCaret(verticalMove(position, step), mode, true);
        return;
    }
    case Qt::Key_Home:
        moveCaret(control ? 0 : lineStartOf(position), mode);
        return;
    case Qt::Key_End:
        moveCaret(control ? endPosition() : lineEndOf(position), mode);
        return;
    default:
        break;
    }

    if (m_locked) {
        event->ignore();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        copyToClipboard();
        deleteSelection();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text();
        if (!pasted.isEmpty())
            insertTyped(pasted);
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        if (event->matches(QKeySequence::Undo))
            m_document->undo(&m_cursor);
        else
            m_document->redo(&m_cursor);
        edited();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (!m_cursor.hasSelection())
            place(m_cursor, control ? previousWord(position) : previousCharacter(position), QTextCursor::KeepAnchor);
        quietly(m_cursor, [&] { m_cursor.removeSelectedText(); });
        edited();
        return;
    case Qt::Key_Delete:
        if (!m_cursor.hasSelection())
            place(m_cursor, control ? nextWord(position) : nextCharacter(position), QTextCursor::KeepAnchor);
        quietly(m_cursor, [&] { m_cursor.removeSelectedText(); });
        edited();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        quietly(m_cursor, [&] { m_cursor.insertBlock(); });
        edited();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && !control && typed.at(0).isPrint()) {
        insertTyped(typed);
        return;
    }
    event->ignore();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    if (m_locked)
        return;
    // An input method may replace text next to the caret (given relative to it) with what it commits, as
    // when it composes a letter from one already typed.
    if (event->replacementLength() > 0) {
        const int from = std::clamp(m_cursor.position() + event->replacementStart(), 0, endPosition());
        place(m_cursor, from);
        place(m_cursor, std::min(from + event->replacementLength(), endPosition()), QTextCursor::KeepAnchor);
        if (event->commitString().isEmpty()) {
            deleteSelection();
            return;
        }
    }
    if (!event->commitString().isEmpty())
        insertTyped(event->commitString());
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return !m_locked;
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect().translated(viewport()->pos()));
    case Qt::ImFont:
        return registerFont();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImSurroundingText: {
        // The caret's neighbourhood, not the whole register; the caret and the anchor are counted from its
        // start, since an input method finds them in the surrounding text by these numbers.
        const QTextBlock block = m_cursor.block();
        const int from = std::max(block.position(), m_cursor.position() - 256);
        const int to = std::min(block.position() + block.length() - 1, m_cursor.position() + 256);
        if (query == Qt::ImCursorPosition)
            return m_cursor.position() - from;
        if (query == Qt::ImAnchorPosition)
            return std::clamp(m_cursor.anchor(), from, to) - from;
        return m_lines->textBetween(from, to);
    }
    case Qt::ImCurrentSelection:
        return m_cursor.selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void RichTextBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    Q_EMIT mouseDown(event->button(), event->modifiers(), viewport()->mapTo(this, point));
    if (event->button() != Qt::LeftButton)
        return;
    const int position = positionAt(point);
    place(m_cursor, position,
          event->modifiers() & Qt::ShiftModifier ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    m_dragging = true;
    m_targetX = -1;
    m_typedTo = -1;
    restartBlink();
    viewport()->update();
    notifyCaretMoved();
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), viewport()->mapTo(this, point));
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    // Dragging past the top or bottom scrolls the text along.
    QScrollBar* bar = verticalScrollBar();
    if (point.y() < 0)
        bar->setValue(bar->value() + point.y());
    else if (point.y() > viewport()->height())
        bar->setValue(bar->value() + point.y() - viewport()->height());
    const QPoint inside(point.x(), std::clamp(point.y(), 0, std::max(0, viewport()->height() - 1)));
    place(m_cursor, positionAt(inside), QTextCursor::KeepAnchor);
    // The line at the edge may be cut by it; the selection's end is shown whole.
    if (inside.y() != point.y())
        ensureCursorVisible();
    viewport()->update();
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    selectWordAt(positionAt(event->position().toPoint()));
}

} // namespace krambol::platform
