// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/RichTextBox.h"

#include "design/Twips.h"
#include "platform/Clipboard.h"
#include "textpane/QuietEdits.h"
#include "textpane/RichTextBoxAccessible.h"
#include "textpane/TextKeys.h"
#include "textpane/TextLines.h"
#include "textpane/TextPrinter.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cmath>

namespace krambol::textpane {

namespace {

// Characters laid out at a time in idle work, and the time an idle step may take before it yields to
// input, in nanoseconds: short, so that a key, a click or an accept never waits behind one for long.
// One character asks for one window of lines (a short paragraph, or 2 048 characters of a long one), so
// that the clock is read after each: 2 048 characters of short paragraphs are sixty layouts, a
// millisecond and more.
constexpr int kIdleChunk = 1;
constexpr qint64 kIdleStepNs = 500'000;
// Idle work waits this long after the last thing done with the pane (a key, a click, a scroll, an edit, a
// change of look): a burst of keys or a drag gets the processor to itself, and the work goes on between.
constexpr int kQuietMs = 30;

// A text this short is laid out whole when it comes to the pane (10 ms at most, for text of many runs
// and fonts), as a bare editor lays out its text when given it: a jump or a drag right after an open
// then finds its lines there. A longer one is laid out where it is shown, the rest in idle time.
constexpr int kLayoutAtOnce = 32768;

// Characters read at a time while a word move looks for the end of a word or of the blanks after it.
constexpr int kScanStep = 512;

// A selection at least this long is read from a copy of the whole text, which takes one pass over the
// document's fragments; QTextCursor::selectedText looks each fragment up from the top of the document's
// tree (70 ms for a selection of 100 000 paragraphs, against 9 ms for the copy).
constexpr int kWholeTextFrom = 65536;

// Events that say the user, or the program, did something with the pane: keys come to the pane, the
// mouse and drops to its view.
bool isActivity(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The text of a selection or document as plain text: paragraphs end in a line feed.
QString plainText(QStringView text)
{
    QString plain = text.toString();
    for (QChar& c : plain)
        if (c == QChar::ParagraphSeparator)
            c = u'\n';
    return plain;
}

// The system clipboard, for controls that were given none.
Clipboard& systemClipboard()
{
    static platform::QtClipboard clipboard;
    return clipboard;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(nullptr)
    , m_ownDocument(new QTextDocument(this))
{
    m_ownDocument->setDefaultFont(font());
    RichTextBoxAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(m_pointer);
    setDocument(nullptr);
}

RichTextBox::~RichTextBox()
{
    // The lines go first: the document would otherwise tell them of its own destruction.
    m_lines.reset();
    for (auto& [document, kept] : m_keptLines)
        disconnect(kept.gone);
    m_keptLines.clear();
}

void RichTextBox::setDocument(QTextDocument* document)
{
    if (!document)
        document = m_ownDocument;
    if (document == m_document)
        return;
    setDocument(document, 0);
    showStart();
}

void RichTextBox::setDocument(QTextDocument* document, int caret)
{
    if (!document)
        document = m_ownDocument;
    if (document == m_document)
        return;
    dropPreedit();
    noteActivity();
    m_dragged = QTextCursor();
    const int oldLength = m_lines ? endPosition() : 0;
    keepLines();
    disconnect(m_contentsChange);
    m_document = document;
    if (auto kept = m_keptLines.find(m_document); kept != m_keptLines.end()) {
        disconnect(kept->second.gone);
        m_lines = std::move(kept->second.lines);
        m_keptLines.erase(kept);
    } else {
        m_lines = std::make_unique<TextLines>(*m_document);
    }
    m_lines->onChange([this] { contentsChanged(); });
    m_contentsChange = connect(m_document, &QTextDocument::contentsChange, this, &RichTextBox::contentsChange);
    m_lines->setWidth(viewport()->width() - 2 * margin());
    if (endPosition() <= kLayoutAtOnce) {
        // The scroll bar the text is estimated to need comes first, and the view takes its width now
        // rather than at the next event: the lines are then laid out at the width they keep.
        updateScrollBars();
        setViewportMargins(viewportMargins());
        m_lines->setWidth(viewport()->width() - 2 * margin());
        m_lines->layoutSome(kLayoutAtOnce + 1);
    }
    m_cursor = QTextCursor(m_document);
    place(m_cursor, std::clamp(caret, 0, endPosition()));
    if (QAccessible::isActive() && (oldLength > 0 || endPosition() > 0)) {
        // To a screen reader the pane's text changed as a whole.
        QAccessibleTextUpdateEvent event(this, 0, QString(oldLength, u' '), m_lines->textBetween(0, endPosition()));
        QAccessible::updateAccessibility(&event);
    }
    edited();
}

void RichTextBox::stepHistory(bool back)
{
    // Past the ends of the document's own history, its owner may go on (see WholeContent).
    const bool available = back ? m_document->isUndoAvailable() : m_document->isRedoAvailable();
    const std::function<bool()>& beyond = back ? m_whole.undo : m_whole.redo;
    if (!available && beyond && beyond())
        return;
    // The document puts the cursor where the step was; inside an edit block the cursor does not ask the
    // paragraph's layout for its line, which would itemize all of it (50 ms for a paragraph of three
    // million characters).
    quietly(m_cursor, [&] {
        if (back)
            m_document->undo(&m_cursor);
        else
            m_document->redo(&m_cursor);
    });
    edited();
}

void RichTextBox::keepLines()
{
    if (!m_lines)
        return;
    // Lines of a document that changes while it is not shown follow the change; they are dropped with
    // the document.
    m_lines->onChange(nullptr);
    QTextDocument* const document = m_document;
    const QMetaObject::Connection gone = connect(document, &QObject::destroyed, this, [this, document] {
        if (auto kept = m_keptLines.find(document); kept != m_keptLines.end()) {
            kept->second.lines->abandon();
            m_keptLines.erase(kept);
        }
    });
    m_keptLines[document] = KeptLines{std::move(m_lines), gone};
}

void RichTextBox::contentsChange(int from, int removed, int added)
{
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
}

QFont RichTextBox::contentFont() const
{
    return m_document->defaultFont();
}

qreal RichTextBox::margin() const
{
    return m_document->documentMargin();
}

void RichTextBox::contentsChanged()
{
    // A change the input method did not make ends its composition: the pre-edit text belonged where the
    // caret was.
    if (!m_composing && !m_preedit.isEmpty())
        dropPreedit();
    m_targetX = -1;
    noteActivity();
    scheduleIdleWork();
    viewport()->update();
}

QString RichTextBox::text() const
{
    return m_document->toPlainText();
}

void RichTextBox::setText(const QString& text)
{
    {
        NoUndo noUndo(*m_document);
        m_document->setPlainText(text);
    }
    showStart();
}

void RichTextBox::showStart()
{
    m_cursor = QTextCursor(m_document);
    verticalScrollBar()->setValue(0);
    edited();
}

void RichTextBox::editAtCaret(const std::function<void(QTextCursor&)>& write)
{
    m_cursor.beginEditBlock();
    write(m_cursor);
    m_cursor.endEditBlock();
    edited();
}

void RichTextBox::setLocked(bool locked)
{
    if (locked)
        dropPreedit();
    m_locked = locked;
    setAttribute(Qt::WA_InputMethodEnabled, !locked);
    viewport()->setCursor(m_pointer);
    viewport()->update();
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

int RichTextBox::selectionLength() const
{
    return m_cursor.selectionEnd() - m_cursor.selectionStart();
}

void RichTextBox::deleteSelection()
{
    if (m_cursor.hasSelection() && m_cursor.selectionStart() == 0 && m_cursor.selectionEnd() == endPosition()
        && m_whole.clear && m_whole.clear())
        return;
    quietly(m_cursor, [&] { m_cursor.removeSelectedText(); });
    edited();
}

PrintOutcome RichTextBox::printSelection(QPrinter* printer, Progress& progress) const
{
    // The window handles its events while the pages are made; a drop must not change the text meanwhile.
    m_printing = true;
    const auto printed = qScopeGuard([this] { m_printing = false; });
    if (m_cursor.hasSelection())
        return printText(*m_document, m_cursor.selectionStart(), m_cursor.selectionEnd(), *printer, progress);
    return printText(*m_document, 0, endPosition(), *printer, progress);
}

void RichTextBox::setPointer(const QCursor& pointer)
{
    m_pointer = pointer;
    viewport()->setCursor(m_pointer);
}

void RichTextBox::setHeightTwips(int twips)
{
    resize(width(), design::twipsToPixels(twips));
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

qint64 RichTextBox::paragraphSizeQueries() const
{
    return m_lines->paragraphSizeQueries();
}

qint64 RichTextBox::charactersLaidOut() const
{
    return m_lines->charactersLaidOut();
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
        const int height = QFontMetrics(contentFont()).height();
        return QRect(int(margin()), int(top), 1, height);
    }
    const TextLines::Line line = m_lines->line(index);
    // While an input method composes, the caret is its caret inside the text being composed.
    const qreal x = margin()
                    + (m_preedit.isEmpty() ? self->caretX(position)
                                           : preeditLine(index)->lineAt(0).cursorToX(position - line.start + m_preeditCursor));
    return QRect(int(x), int(std::floor(top + line.y)), 1, int(std::ceil(line.height)));
}

qreal RichTextBox::caretX(int position)
{
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    if (index < 0)
        return 0;
    const TextLines::Line line = m_lines->line(index);
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
    const TextLines::Line line = m_lines->line(index);
    const QTextLayout& shaped = m_lines->shaped(index);
    if (shaped.lineCount() == 0)
        return {};
    const QTextLine text = shaped.lineAt(0);
    const qreal left = text.cursorToX(position - line.start);
    const qreal right = position < line.start + line.length ? text.cursorToX(position + 1 - line.start)
                                                            : left + QFontMetricsF(contentFont()).averageCharWidth();
    return QRectF(margin() + std::min(left, right), top + line.y, std::abs(right - left), line.height).toAlignedRect();
}

void RichTextBox::ensureCursorVisible()
{
    // Laying out the caret's line may change the height of the text, and with it the scroll bar's range,
    // which can move the view: the caret is placed against the range that follows.
    m_lines->layoutToPosition(m_cursor.position());
    updateScrollBars();
    const QRect caret = cursorRect();
    QScrollBar* bar = verticalScrollBar();
    if (caret.top() < 0)
        bar->setValue(bar->value() + caret.top() - int(margin()));
    else if (caret.bottom() > viewport()->rect().bottom())
        bar->setValue(bar->value() + caret.bottom() - viewport()->rect().bottom() + int(margin()));
}

int RichTextBox::positionAt(QPoint point) const
{
    const qreal y = point.y() + verticalScrollBar()->value() - margin();
    m_lines->layoutToY(y);
    const int index = m_lines->lineAtY(y);
    if (index < 0)
        return 0;
    const TextLines::Line line = m_lines->line(index);
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

int RichTextBox::skipBack(int position, int limit, bool word) const
{
    // Back over word characters (or over others) to limit at most, a piece of the text at a time: a word
    // of any length is crossed without reading the paragraph around it.
    while (position > limit) {
        const int from = std::max(limit, position - kScanStep);
        const QString text = m_lines->textBetween(from, position);
        qsizetype i = text.size();
        while (i > 0 && isWordCharacter(text[i - 1]) == word)
            --i;
        if (i > 0)
            return from + int(i);
        position = from;
    }
    return position;
}

int RichTextBox::skipForward(int position, int limit, bool word) const
{
    while (position < limit) {
        const int to = std::min(limit, position + kScanStep);
        const QString text = m_lines->textBetween(position, to);
        qsizetype i = 0;
        while (i < text.size() && isWordCharacter(text[i]) == word)
            ++i;
        if (i < text.size())
            return position + int(i);
        position = to;
    }
    return position;
}

int RichTextBox::previousWord(int position) const
{
    // To the start of the word before the caret (or of the one it is in), over the spaces before it.
    const QTextBlock block = m_document->findBlock(position);
    if (position == block.position())
        return std::max(0, position - 1);
    return skipBack(skipBack(position, block.position(), false), block.position(), true);
}

int RichTextBox::nextWord(int position) const
{
    // To the start of the next word.
    const QTextBlock block = m_document->findBlock(position);
    const int blockEnd = block.position() + block.length() - 1;
    if (position == blockEnd)
        return std::min(endPosition(), position + 1);
    return skipForward(skipForward(position, blockEnd, true), blockEnd, false);
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
    const TextLines::Line line = m_lines->line(index);
    return line.start + (line.lastInBlock || line.length == 0 ? line.length : line.length - 1);
}

int RichTextBox::verticalMove(int position, int lines)
{
    m_lines->layoutToPosition(position);
    const int index = m_lines->lineForPosition(position);
    if (index < 0)
        return position;
    if (m_targetX < 0)
        m_targetX = caretX(position);
    const int from = m_lines->line(index).start;
    const int target = m_lines->lineFrom(index, lines);
    if (m_lines->line(target).start == from)
        return lines < 0 ? 0 : endPosition();
    const TextLines::Line line = m_lines->line(target);
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

void RichTextBox::setClipboard(Clipboard* clipboard)
{
    m_clipboard = clipboard;
}

Clipboard& RichTextBox::clipboard() const
{
    return m_clipboard ? *m_clipboard : systemClipboard();
}

QString RichTextBox::selectedPlainText() const
{
    return selectedPlainTextLater()();
}

std::function<QString()> RichTextBox::selectedPlainTextLater() const
{
    const int from = m_cursor.selectionStart();
    const int length = m_cursor.selectionEnd() - from;
    if (length < kWholeTextFrom || m_cursor.hasComplexSelection())
        return [text = m_cursor.selectedText()] { return plainText(text); };
    // The text of the whole document as it is now: a copy is cheap, and the part is cut from it only when
    // it is asked for.
    return [whole = m_document->toRawText(), from, length] { return plainText(QStringView(whole).mid(from, length)); };
}

void RichTextBox::copyToClipboard() const
{
    if (m_cursor.hasSelection())
        clipboard().setDeferredText(selectedPlainTextLater());
}

void RichTextBox::publishSelection() const
{
    // Selecting copies to the primary selection where there is one, as in every X11 program.
    if (m_cursor.hasSelection() && clipboard().supportsSelection())
        clipboard().setDeferredSelectionText(selectedPlainTextLater());
}

void RichTextBox::selectWordAt(int position)
{
    const QTextBlock block = m_document->findBlock(position);
    const int blockEnd = block.position() + block.length() - 1;
    place(m_cursor, skipBack(position, block.position(), true));
    place(m_cursor, skipForward(position, blockEnd, true), QTextCursor::KeepAnchor);
    viewport()->update();
    publishSelection();
}

// --- events ---------------------------------------------------------------------------------------------

bool RichTextBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys the pane uses itself do not go to a shortcut of the window (a filter may still let the
        // menu's own keys through first).
        auto* key = static_cast<QKeyEvent*>(event);
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const KeyCommand bound = keyCommand(*key);
        if ((bound.action != KeyAction::None && !(m_locked && bound.changesText()))
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
    if (isActivity(event->type()))
        noteActivity();
    return QAbstractScrollArea::event(event);
}

bool RichTextBox::viewportEvent(QEvent* event)
{
    if (isActivity(event->type()))
        noteActivity();
    return QAbstractScrollArea::viewportEvent(event);
}

void RichTextBox::changeEvent(QEvent* event)
{
    // As with Qt's own editors, the widget's font is the font of the pane's own document.
    if (event->type() == QEvent::FontChange)
        m_ownDocument->setDefaultFont(font());
    QAbstractScrollArea::changeEvent(event);
}

void RichTextBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const qreal left = margin();
    const qreal top = margin() - verticalScrollBar()->value();
    // Only the lines shown are laid out here; the text above them, when not laid out yet, counts at an
    // estimated height until idle work gets to it.
    m_lines->layoutBetween(area.top() - top, area.bottom() - top + 1);
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
    // The line with the text being composed is drawn with it; the drop caret shows where a drop would go.
    const int composedLine = m_preedit.isEmpty() ? -1 : m_lines->lineForPosition(m_cursor.position());
    const int dropLine = m_dropCaret >= 0 ? m_lines->lineForPosition(m_dropCaret) : -1;

    for (; index < m_lines->count(); ++index) {
        const TextLines::Line line = m_lines->line(index);
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
        if (index == composedLine) {
            const std::unique_ptr<QTextLayout> composed = preeditLine(index);
            composed->draw(&painter, QPointF(left, y));
            if (index == caretLine && m_preeditCursorShown)
                composed->drawCursor(&painter, QPointF(left, y), caret - line.start + m_preeditCursor, 1);
        } else {
            shaped.draw(&painter, QPointF(left, y), selections);
            if (index == caretLine)
                shaped.drawCursor(&painter, QPointF(left, y), caret - line.start, 1);
        }
        if (index == dropLine)
            shaped.drawCursor(&painter, QPointF(left, y), m_dropCaret - line.start, 1);
    }
    if (!m_lines->complete())
        scheduleIdleWork();
}

RichTextBox::ViewAnchor RichTextBox::viewAnchor() const
{
    // The caret's line when it is in view; else the first line shown: the one at the top of the view, or
    // the first below it when the top lies in text not laid out.
    const qreal viewTop = verticalScrollBar()->value() - margin();
    if (const int caret = m_lines->lineForPosition(m_cursor.position()); caret >= 0) {
        const TextLines::Line line = m_lines->line(caret);
        if (line.y >= viewTop && line.y + line.height <= viewTop + viewport()->height())
            return {m_cursor.position(), line.y - viewTop};
    }
    int shown = m_lines->lineAtY(viewTop);
    if (shown < 0 || viewTop <= 0)
        return {};
    if (shown + 1 < m_lines->count() && m_lines->line(shown).y + m_lines->line(shown).height <= viewTop)
        ++shown;
    const TextLines::Line line = m_lines->line(shown);
    return {line.start, line.y - viewTop};
}

void RichTextBox::restoreView(const ViewAnchor& anchor)
{
    if (anchor.position < 0)
        return;
    m_lines->layoutToPosition(anchor.position);
    if (const int now = m_lines->lineForPosition(anchor.position); now >= 0)
        verticalScrollBar()->setValue(int(std::lround(m_lines->line(now).y - anchor.offset + margin())));
}

void RichTextBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    noteActivity();
    // A new width wraps every line anew; the view stays on the text it showed.
    const ViewAnchor anchor = viewAnchor();
    m_lines->setWidth(viewport()->width() - 2 * margin());
    updateScrollBars();
    restoreView(anchor);
    scheduleIdleWork();
    viewport()->update();
}

void RichTextBox::scrollContentsBy(int, int)
{
    noteActivity();
    viewport()->update();
}

void RichTextBox::updateScrollBars()
{
    QScrollBar* bar = verticalScrollBar();
    const int page = viewport()->height();
    const int total = int(std::ceil(m_lines->height() + 2 * margin()));
    bar->setRange(0, std::max(0, total - page));
    bar->setPageStep(page);
    bar->setSingleStep(QFontMetrics(contentFont()).lineSpacing());
}

void RichTextBox::notifyCaretMoved()
{
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, m_cursor.position());
        QAccessible::updateAccessibility(&moved);
    }
}

void RichTextBox::scheduleIdleWork()
{
    if (m_idle.isActive())
        return;
    const qint64 quiet = m_sinceActivity.isValid() ? kQuietMs - m_sinceActivity.elapsed() : 0;
    m_idleWaits = quiet > 0;
    m_idle.start(m_idleWaits ? int(quiet) : 0, this);
}

void RichTextBox::noteActivity()
{
    m_sinceActivity.start();
}

void RichTextBox::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect().adjusted(-2, 0, 2, 0));
        return;
    }
    if (event->timerId() == m_idle.timerId()) {
        const qint64 quiet = m_sinceActivity.isValid() ? kQuietMs - m_sinceActivity.elapsed() : 0;
        if (quiet > 0) {
            m_idleWaits = true;
            m_idle.start(int(quiet), this);
            return;
        }
        if (m_idleWaits) {
            m_idleWaits = false;
            m_idle.start(0, this);
        }
        // The lines not laid out yet are laid out from the top a step at a time while nothing else
        // happens, and the estimated height of the rest is refined; the scroll bar follows, and the view
        // stays on the text it shows.
        const ViewAnchor anchor = viewAnchor();
        QElapsedTimer clock;
        clock.start();
        bool more = true;
        while (more && clock.nsecsElapsed() < kIdleStepNs)
            more = m_lines->layoutSome(kIdleChunk);
        m_lines->refineEstimate();
        updateScrollBars();
        restoreView(anchor);
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
    commitPreedit();
    m_blink.stop();
    m_caretShown = false;
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void RichTextBox::keyPressEvent(QKeyEvent* event)
{
    const KeyCommand command = keyCommand(*event);
    if (command.action != KeyAction::None && !(m_locked && command.changesText())) {
        runKeyCommand(command);
        return;
    }
    const QString typed = event->text();
    if (!m_locked && command.action == KeyAction::None && !typed.isEmpty()
        && !(event->modifiers() & Qt::ControlModifier) && typed.at(0).isPrint()) {
        insertTyped(typed);
        return;
    }
    event->ignore();
}

int RichTextBox::pageMove(int position, int direction)
{
    // The text scrolls by a page less a line, and the caret goes as many lines.
    const int lineHeight = std::max(1, QFontMetrics(contentFont()).lineSpacing());
    const int lines = std::max(1, viewport()->height() / lineHeight - 1);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + direction * lines * lineHeight);
    return verticalMove(position, direction * lines);
}

int RichTextBox::motionTarget(Motion motion, int position)
{
    switch (motion) {
    case Motion::None:
        return position;
    case Motion::PreviousCharacter:
        return previousCharacter(position);
    case Motion::NextCharacter:
        return nextCharacter(position);
    case Motion::PreviousWord:
        return previousWord(position);
    case Motion::NextWord:
        return nextWord(position);
    case Motion::LineStart:
        return lineStartOf(position);
    case Motion::LineEnd:
        return lineEndOf(position);
    case Motion::PreviousLine:
        return verticalMove(position, -1);
    case Motion::NextLine:
        return verticalMove(position, 1);
    case Motion::PreviousPage:
        return pageMove(position, -1);
    case Motion::NextPage:
        return pageMove(position, 1);
    case Motion::ParagraphStart:
        return m_document->findBlock(position).position();
    case Motion::ParagraphEnd: {
        const QTextBlock block = m_document->findBlock(position);
        return block.position() + block.length() - 1;
    }
    case Motion::DocumentStart:
        return 0;
    case Motion::DocumentEnd:
        return endPosition();
    }
    return position;
}

void RichTextBox::runKeyCommand(const KeyCommand& command)
{
    const int position = m_cursor.position();
    const bool vertical = command.motion == Motion::PreviousLine || command.motion == Motion::NextLine
                          || command.motion == Motion::PreviousPage || command.motion == Motion::NextPage;
    switch (command.action) {
    case KeyAction::None:
        return;
    case KeyAction::Move:
        moveCaret(motionTarget(command.motion, position), QTextCursor::MoveAnchor, vertical);
        return;
    case KeyAction::Select:
        moveCaret(motionTarget(command.motion, position), QTextCursor::KeepAnchor, vertical);
        publishSelection();
        return;
    case KeyAction::SelectAll:
        selectAll();
        return;
    case KeyAction::Deselect:
        moveCaret(position, QTextCursor::MoveAnchor);
        return;
    case KeyAction::Copy:
        copyToClipboard();
        return;
    case KeyAction::Cut:
        copyToClipboard();
        deleteSelection();
        return;
    case KeyAction::Paste:
        if (const std::optional<QString> pasted = clipboard().text(); pasted && !pasted->isEmpty())
            insertTyped(*pasted);
        return;
    case KeyAction::Undo:
    case KeyAction::Redo:
        stepHistory(command.action == KeyAction::Undo);
        return;
    case KeyAction::DeleteBack:
    case KeyAction::DeleteForward:
        if (!m_cursor.hasSelection())
            place(m_cursor, motionTarget(command.motion, position), QTextCursor::KeepAnchor);
        deleteSelection();
        return;
    case KeyAction::DeleteLine:
        place(m_cursor, lineStartOf(position));
        place(m_cursor, lineEndOf(position), QTextCursor::KeepAnchor);
        deleteSelection();
        return;
    case KeyAction::NewParagraph:
        quietly(m_cursor, [&] { m_cursor.insertBlock(); });
        edited();
        return;
    }
}

// --- input methods ----------------------------------------------------------------------------------------

void RichTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    if (m_locked) {
        dropPreedit();
        return;
    }
    m_composing = true;
    // An input method may replace text next to the caret (given relative to it) with what it commits, as
    // when it composes a letter from one already typed.
    if (event->replacementLength() > 0) {
        const int from = std::clamp(m_cursor.position() + event->replacementStart(), 0, endPosition());
        place(m_cursor, from);
        place(m_cursor, std::min(from + event->replacementLength(), endPosition()), QTextCursor::KeepAnchor);
        if (event->commitString().isEmpty())
            deleteSelection();
    }
    if (!event->commitString().isEmpty())
        insertTyped(event->commitString());
    m_composing = false;

    // The text being composed replaces the one before it; it is shown at the caret, in the formats the
    // input method gives (underlined when it gives none), with the input method's own caret in it.
    m_preedit = event->preeditString();
    m_preeditFormats.clear();
    m_preeditCursor = int(m_preedit.size());
    m_preeditCursorShown = true;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid() && attribute.length > 0)
                m_preeditFormats.append({attribute.start, attribute.length, format});
        } else if (attribute.type == QInputMethodEvent::Cursor) {
            m_preeditCursor = std::clamp(attribute.start, 0, int(m_preedit.size()));
            m_preeditCursorShown = attribute.length != 0;
        }
    }
    if (!m_preedit.isEmpty() && m_preeditFormats.isEmpty()) {
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        m_preeditFormats.append({0, int(m_preedit.size()), underlined});
    }
    ensureCursorVisible();
    restartBlink();
    viewport()->update();
}

std::unique_ptr<QTextLayout> RichTextBox::preeditLine(int index) const
{
    const int column = m_cursor.position() - m_lines->line(index).start;
    return m_lines->shapedWithPreedit(index, column, m_preedit, m_preeditFormats);
}

void RichTextBox::commitPreedit()
{
    // The input method commits what it has; one that cannot leaves it to be dropped.
    if (m_preedit.isEmpty())
        return;
    QGuiApplication::inputMethod()->commit();
    dropPreedit();
}

void RichTextBox::dropPreedit()
{
    if (m_preedit.isEmpty())
        return;
    m_preedit.clear();
    m_preeditFormats.clear();
    m_preeditCursor = 0;
    if (hasFocus())
        QGuiApplication::inputMethod()->reset();
    viewport()->update();
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return !m_locked;
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect().translated(viewport()->pos()));
    case Qt::ImFont:
        return contentFont();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImSurroundingText:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor: {
        // The caret's neighbourhood, not the whole register; the caret and the anchor are counted from its
        // start, since an input method finds them in the surrounding text by these numbers. The text being
        // composed is not part of it.
        const QTextBlock block = m_cursor.block();
        const int from = std::max(block.position(), m_cursor.position() - 256);
        const int to = std::min(block.position() + block.length() - 1, m_cursor.position() + 256);
        if (query == Qt::ImCursorPosition)
            return m_cursor.position() - from;
        if (query == Qt::ImAnchorPosition)
            return std::clamp(m_cursor.anchor(), from, to) - from;
        if (query == Qt::ImTextBeforeCursor)
            return m_lines->textBetween(from, m_cursor.position());
        if (query == Qt::ImTextAfterCursor)
            return m_lines->textBetween(m_cursor.position(), to);
        return m_lines->textBetween(from, to);
    }
    case Qt::ImCurrentSelection:
        return m_cursor.selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- mouse ------------------------------------------------------------------------------------------------

void RichTextBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    Q_EMIT mouseDown(event->button(), event->modifiers(), viewport()->mapTo(this, point));
    if (event->button() == Qt::MiddleButton) {
        // The primary selection is pasted where the middle button went down.
        if (m_locked || !clipboard().supportsSelection())
            return;
        commitPreedit();
        const std::optional<QString> text = clipboard().selectionText();
        if (!text || text->isEmpty())
            return;
        place(m_cursor, positionAt(point));
        m_typedTo = -1;
        insertTyped(*text);
        m_typedTo = -1;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    commitPreedit();
    const int position = positionAt(point);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    m_targetX = -1;
    m_typedTo = -1;
    if (!shift && m_cursor.hasSelection() && position >= m_cursor.selectionStart()
        && position < m_cursor.selectionEnd()) {
        // A press on the selection may start a drag of it; a release without moving places the caret.
        m_dragFrom = point;
        return;
    }
    place(m_cursor, position, shift ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    m_dragging = true;
    restartBlink();
    viewport()->update();
    notifyCaretMoved();
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), viewport()->mapTo(this, point));
    if (m_dragFrom) {
        if (!(event->buttons() & Qt::LeftButton))
            m_dragFrom.reset();
        else if ((point - *m_dragFrom).manhattanLength() >= QApplication::startDragDistance())
            startDrag();
        return;
    }
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
    if (m_dragFrom && event->button() == Qt::LeftButton) {
        // Pressed on the selection and let go without a drag: the caret goes there.
        place(m_cursor, positionAt(*m_dragFrom));
        m_dragFrom.reset();
        restartBlink();
        viewport()->update();
        notifyCaretMoved();
    }
    if (m_dragging && event->button() == Qt::LeftButton)
        publishSelection();
    m_dragging = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragFrom.reset();
    selectWordAt(positionAt(event->position().toPoint()));
}

// --- drag and drop ----------------------------------------------------------------------------------------

void RichTextBox::startDrag()
{
    m_dragFrom.reset();
    auto* data = new QMimeData;
    data->setText(selectedPlainText());
    QDrag* drag = new QDrag(this);
    drag->setMimeData(data);
    // What is dragged is followed through the drop, which may write before it.
    m_dragged = m_cursor;
    m_droppedHere = false;
    // A locked register gives a copy only.
    const Qt::DropActions allowed = m_locked ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction;
    const Qt::DropAction preferred = m_locked ? Qt::CopyAction : Qt::MoveAction;
    const Qt::DropAction done = m_runDrag ? m_runDrag(*drag, allowed, preferred) : drag->exec(allowed, preferred);
    // Moved to another program: the text leaves here. Moved inside, the drop has moved it already.
    if (done == Qt::MoveAction && !m_droppedHere && !m_locked && m_dragged.hasSelection()) {
        quietly(m_dragged, [&] { m_dragged.removeSelectedText(); });
        edited();
    }
    m_dragged = QTextCursor();
    if (m_runDrag)
        drag->deleteLater();
}

bool RichTextBox::acceptsDrop(const QDropEvent* event) const
{
    return !m_locked && !m_printing && event->mimeData() && event->mimeData()->hasText();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void RichTextBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    // Where the text would go is shown as a caret.
    const int position = positionAt(event->position().toPoint());
    if (position != m_dropCaret) {
        m_dropCaret = position;
        viewport()->update();
    }
    event->acceptProposedAction();
}

void RichTextBox::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dropCaret = -1;
    viewport()->update();
    QAbstractScrollArea::dragLeaveEvent(event);
}

void RichTextBox::dropEvent(QDropEvent* event)
{
    m_dropCaret = -1;
    viewport()->update();
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    commitPreedit();
    const int position = positionAt(event->position().toPoint());
    // A drag from here moves unless the drop asks for a copy (Ctrl); text from elsewhere comes in as it is
    // offered, and its source decides what to do with the original.
    const bool move = !m_dragged.isNull() && event->dropAction() == Qt::MoveAction;
    event->accept();
    if (move) {
        m_droppedHere = true;
        // Dropped back onto itself: nothing moves.
        if (position >= m_dragged.selectionStart() && position <= m_dragged.selectionEnd())
            return;
    }
    QTextCursor at(m_document);
    // The insert and the removal of a moved text are one undo step; the caret ends after what came in.
    quietly(at, [&] { at.setPosition(position); });
    at.beginEditBlock();
    at.insertText(event->mimeData()->text(), QTextCharFormat());
    if (move)
        m_dragged.removeSelectedText();
    at.endEditBlock();
    m_cursor = at;
    edited();
}

} // namespace krambol::textpane
