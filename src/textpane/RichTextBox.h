// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextLayout>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QDrag;
class QPrinter;
class QTextDocument;

namespace krambol::platform {
class Clipboard;
class Progress;
}

namespace krambol::textpane {

using platform::Clipboard;
using platform::Progress;
class TextLines;
enum class PrintOutcome;
struct KeyCommand;
enum class Motion;

// A rich text pane: a QTextDocument shown and edited through lines of its own (TextLines), so that a
// paragraph of millions of characters takes an addition at its end, opens and scrolls at once. It knows
// nothing of what the text means; whoever owns the document gives it its meaning.
//
// While unlocked it edits as Qt's text fields do: the platform's key bindings, an input method's pre-edit
// text at the caret, the primary selection (selecting copies, the middle button pastes) and drag and drop
// of plain text. While locked the user changes no text: moving, selecting, copying and dragging out stay.
//
// What it does not do: paragraph formats (alignment, indents, spacing, lists, tables, frames) are not
// laid out, and text is laid out left to right only (no bidirectional reordering across lines). Character
// formats (font, size, weight, slant, underline, colour) are.
//
// What it relies on in Qt: a QTextCursor that moves or writes inside an edit block does not ask the
// paragraph's layout for its lines (see QuietEdits.h); every cursor of the pane works so.
// tst_richtextbox's largeRegisterIsNeverLaidOutByTheDocument counts such requests (paragraphSizeQueries)
// and fails if one comes.
class RichTextBox : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;

    // The document shown. Without one given, the pane has one of its own, in the widget's font. A document
    // given stays its giver's: its default font is left as it is, and it must outlive the pane or be
    // taken back first (setDocument(nullptr)). The pane lays its document out itself, so the document's
    // own layout (documentLayout()) is a stand-in that reports changes and lays out nothing.
    QTextDocument* document() const { return m_document; }
    void setDocument(QTextDocument* document);
    // Shows another document with the caret at `caret` and the view on it, as after an edit.
    void setDocument(QTextDocument* document, int caret);
    // Whoever owns the document may take over the user's deletion of the whole content (by key, cut or
    // deleteSelection) and undo and redo past the ends of the document's own history, typically by
    // giving the pane another document. Each returns whether it did; the pane edits the document
    // itself when it did not, or when none is set.
    struct WholeContent
    {
        std::function<bool()> clear;
        std::function<bool()> undo;
        std::function<bool()> redo;
    };
    void setWholeContent(WholeContent handlers) { m_whole = std::move(handlers); }

    // The whole content as plain text; empty content reads as an empty string.
    QString text() const;
    QString toPlainText() const { return text(); }
    // Replaces the whole content by plain text in the document's default font, as one change that is not
    // undone; character formatting goes. The caret goes to the start and the view to the top.
    void setText(const QString& text);
    // The caret to the start and the view to the top, as after the content was replaced.
    void showStart();
    // Writes at the caret (replacing the selection when `write` removes it) as one undo step, then shows
    // the caret.
    void editAtCaret(const std::function<void(QTextCursor&)>& write);

    // While locked the user cannot type, delete or paste; the application's own writes still work.
    bool isLocked() const { return m_locked; }
    bool isReadOnly() const { return m_locked; }
    void setLocked(bool locked);
    // Tab always moves the focus on; with this on, Ctrl+Tab does too instead of typing a tab.
    void setTabChangesFocus(bool on) { m_tabChangesFocus = on; }

    void setHeightTwips(int twips);

    int selectionLength() const;
    void deleteSelection();
    // Prints the selected part, or the whole content when nothing is selected, telling the progress
    // after each page.
    PrintOutcome printSelection(QPrinter* printer, Progress& progress) const;

    // The pane's background; it belongs to the run and is never saved.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);

    // The pointer shown over the text, whatever the lock.
    void setPointer(const QCursor& pointer);

    // Where copy, cut and paste by key and the primary selection go; the system's clipboard unless set.
    // The clipboard must outlive the control's use of it.
    void setClipboard(Clipboard* clipboard);

    // Runs a drag of the selection out of the control and returns what the drop did; QDrag::exec unless
    // set (tests drop by hand while it runs).
    using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred)>;
    void setDragRunner(DragRunner runner) { m_runDrag = std::move(runner); }

    // The caret and the selection.
    QTextCursor textCursor() const { return m_cursor; }
    void setTextCursor(const QTextCursor& cursor);
    void selectAll();
    // The caret's rectangle in the viewport's coordinates.
    QRect cursorRect() const;
    // The rectangle of the character at position, and the position under a point, both in the
    // viewport's coordinates.
    QRect characterRect(int position) const;
    int positionAt(QPoint viewportPoint) const;
    void ensureCursorVisible();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // Characters the pane has laid out into lines since it was made (for tests of what a view costs).
    qint64 charactersLaidOut() const;
    // How often a text cursor asked the document for a paragraph's layout (see the contract above).
    qint64 paragraphSizeQueries() const;

Q_SIGNALS:
    // A mouse button went down or the pointer moved over the control; the position is in pixels from
    // the control's top-left corner.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void contentsChanged();
    void contentsChange(int from, int removed, int added);
    QFont contentFont() const;

    // Caret movement and editing.
    int endPosition() const;
    void notifyCaretMoved();
    int previousCharacter(int position) const;
    int nextCharacter(int position) const;
    int previousWord(int position) const;
    int nextWord(int position) const;
    int skipBack(int position, int limit, bool word) const;
    int skipForward(int position, int limit, bool word) const;
    int motionTarget(Motion motion, int position);
    int pageMove(int position, int direction);
    void runKeyCommand(const KeyCommand& command);
    int lineStartOf(int position);
    int lineEndOf(int position);
    int verticalMove(int position, int lines);
    qreal caretX(int position);
    void moveCaret(int position, QTextCursor::MoveMode mode, bool keepX = false);
    void edited();
    void insertTyped(const QString& text);
    Clipboard& clipboard() const;
    QString selectedPlainText() const;
    std::function<QString()> selectedPlainTextLater() const;
    void copyToClipboard() const;
    void publishSelection() const;
    void selectWordAt(int position);
    void startDrag();
    bool acceptsDrop(const QDropEvent* event) const;
    // The pre-edit text of an input method, drawn at the caret and not part of the document.
    std::unique_ptr<QTextLayout> preeditLine(int index) const;
    void commitPreedit();
    void dropPreedit();
    void restartBlink();
    void scheduleIdleWork();
    // The user or the program did something with the pane: idle work waits until things are quiet.
    void noteActivity();
    // Where the view is on the text (the first line shown and how far above the view's top it starts),
    // to keep it there while the lines above change.
    struct ViewAnchor
    {
        int position = -1;
        qreal offset = 0;
    };
    ViewAnchor viewAnchor() const;
    void restoreView(const ViewAnchor& anchor);
    void updateScrollBars();
    qreal margin() const;

    QTextDocument* m_document;
    QTextDocument* m_ownDocument;
    WholeContent m_whole;
    std::unique_ptr<TextLines> m_lines;
    // The lines of documents shown before, kept while those documents live: showing one
    // again (as undoing a deletion of everything does) finds its lines laid out and its formats read.
    struct KeptLines
    {
        std::unique_ptr<TextLines> lines;
        QMetaObject::Connection gone;
    };
    std::map<QTextDocument*, KeptLines> m_keptLines;
    void keepLines();
    // Undo (back) or redo one step.
    void stepHistory(bool back);
    QTextCursor m_cursor;
    bool m_locked = false;
    mutable bool m_printing = false;
    bool m_tabChangesFocus = false;
    QCursor m_pointer{Qt::IBeamCursor};

    QMetaObject::Connection m_contentsChange;

    qreal m_targetX = -1;
    // Where the last typed text ended and the undo steps after it, while typing may go on in its step.
    int m_typedTo = -1;
    int m_typedSteps = -1;
    bool m_caretShown = false;
    bool m_dragging = false;

    Clipboard* m_clipboard = nullptr;
    DragRunner m_runDrag;
    // A press inside the selection that may become a drag, where it went down.
    std::optional<QPoint> m_dragFrom;
    // While a drag from here runs: the text dragged, followed through edits, and whether it was dropped here.
    QTextCursor m_dragged;
    bool m_droppedHere = false;
    int m_dropCaret = -1;

    QString m_preedit;
    int m_preeditCursor = 0;
    bool m_preeditCursorShown = true;
    QList<QTextLayout::FormatRange> m_preeditFormats;
    bool m_composing = false;
    QBasicTimer m_blink;
    QBasicTimer m_idle;
    bool m_idleWaits = false;   // the idle timer waits for quiet rather than stepping
    QElapsedTimer m_sinceActivity;
};

} // namespace krambol::textpane
