#pragma once

#include <QTextEdit>

#include <optional>

class QPrinter;

namespace krambol::platform {

// The rich text control: a QTextEdit with the operations the application relies on. The control-wide
// style lives in the document's default font, so plain text written later takes it too.
class RichTextBox : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content as plain text; empty content reads as an empty string.
    QString text() const;
    // Replaces the whole content by plain text in the control's own font; character formatting goes.
    void setText(const QString& text);

    // While locked the user cannot type, delete or paste; the application's own writes still work.
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);

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

Q_SIGNALS:
    // A mouse button went down or the pointer moved over the control; the position is in pixels from
    // the control's top-left corner.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Sets one property on the control's font and on all the text it holds.
    void applyToWholeContent(const QTextCharFormat& format);

    bool m_locked = false;
    QCursor m_pointer{Qt::IBeamCursor};
};

} // namespace krambol::platform
