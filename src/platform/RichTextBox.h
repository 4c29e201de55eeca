#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTextCursor>

#include <memory>
#include <optional>

class QPrinter;
class QTextDocument;

namespace krambol::platform {

class TextLines;

// The rich text control: a QTextDocument shown and edited through lines of its own (TextLines), so that a
// register of a hundred thousand entries in one paragraph takes an entry, opens and scrolls at once. The
// control-wide style lives in the document's default font, so plain text written later takes it too.
class RichTextBox : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);
    ~RichTextBox() override;

    // The whole content as plain text; empty content reads as an empty string.
    QString text() const;
    QString toPlainText() const { return text(); }
    // Replaces the whole content by plain text in the control's own font; character formatting goes.
    // The caret goes to the start.
    void setText(const QString& text);

    // While locked the user cannot type, delete or paste; the application's own writes still work.
    bool isLocked() const { return m_locked; }
    bool isReadOnly() const { return m_locked; }
    void setLocked(bool locked);
    // Tab always moves the focus on; with this on, Ctrl+Tab does too instead of typing a tab.
    void setTabChangesFocus(bool on) { m_tabChangesFocus = on; }

    void setHeightTwips(int twips);

    // The control's own font: the style of the whole content and of everything written later.
    QFont registerFont() const;
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontSize(qreal points);

    // The whole content as an RTF file, written through a temporary file so that a failed save never
    // damages a file already there. Returns why it failed, or nothing on success.
    std::optional<QString> saveFile(const QString& path) const;
    // Replaces the whole content by the RTF document in the file; on failure the content stays as it
    // was and the reason comes back.
    std::optional<QString> loadFile(const QString& path);

    // The selected part as RTF source text.
    QString selectionRtf() const;
    // Replaces the selection (or inserts at the caret): as rich text when the string begins with an
    // RTF header, otherwise as plain text in the control's font.
    void setSelectionRtf(const QString& text);
    int selectionLength() const;
    void deleteSelection();
    // Prints the selected part, or the whole content when nothing is selected.
    void printSelection(QPrinter* printer) const;

    // The pane's background; it belongs to the run and is never saved.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);

    // The pointer shown over the text, whatever the lock.
    void setPointer(const QCursor& pointer);

    // The document, the caret and the selection.
    QTextDocument* document() const { return m_document; }
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

Q_SIGNALS:
    // A mouse button went down or the pointer moved over the control; the position is in pixels from
    // the control's top-left corner.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    bool event(QEvent* event) override;
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
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Sets one property on the control's font and on the text that carries a format of its own.
    void applyToWholeContent(const QTextCharFormat& format);
    void contentsChanged();
    bool isPlainDocument() const;
    const QString& plainText() const;

    // Caret movement and editing.
    int endPosition() const;
    void notifyCaretMoved();
    int previousCharacter(int position) const;
    int nextCharacter(int position) const;
    int previousWord(int position) const;
    int nextWord(int position) const;
    int lineStartOf(int position);
    int lineEndOf(int position);
    int verticalMove(int position, int lines);
    qreal caretX(int position);
    void moveCaret(int position, QTextCursor::MoveMode mode, bool keepX = false);
    void edited();
    void insertTyped(const QString& text);
    void copyToClipboard() const;
    void selectWordAt(int position);
    void restartBlink();
    void scheduleIdleWork();
    void updateScrollBars();
    qreal margin() const;

    QTextDocument* m_document;
    std::unique_ptr<TextLines> m_lines;
    QTextCursor m_cursor;
    bool m_locked = false;
    bool m_tabChangesFocus = false;
    QCursor m_pointer{Qt::IBeamCursor};

    // The plain text and whether the document holds nothing but plain text in the control's font, kept
    // until the next change that the control did not make itself.
    mutable QString m_plainText;
    mutable bool m_plainTextValid = false;
    mutable int m_plainDocument = -1;
    bool m_ownEdit = false;

    qreal m_targetX = -1;
    // Where the last typed text ended and the undo steps after it, while typing may go on in its step.
    int m_typedTo = -1;
    int m_typedSteps = -1;
    bool m_caretShown = false;
    bool m_dragging = false;
    QBasicTimer m_blink;
    QBasicTimer m_idle;
};

} // namespace krambol::platform
