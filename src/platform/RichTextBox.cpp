#include "platform/RichTextBox.h"

#include "platform/Twips.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QMouseEvent>

namespace krambol::platform {

RichTextBox::RichTextBox(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

QString RichTextBox::text() const
{
    return toPlainText();
}

void RichTextBox::setText(const QString& text)
{
    setPlainText(text);
}

void RichTextBox::setLocked(bool locked)
{
    m_locked = locked;
    setReadOnly(locked);
    // A locked register can still be selected and walked with the keyboard, as an unlocked one.
    if (locked)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    viewport()->setCursor(m_pointer);
}

QFont RichTextBox::registerFont() const
{
    return document()->defaultFont();
}

void RichTextBox::applyToWholeContent(const QTextCharFormat& format, const QFont& font)
{
    document()->setDefaultFont(font);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
}

void RichTextBox::setFontBold(bool on)
{
    QFont font = registerFont();
    font.setBold(on);
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyToWholeContent(format, font);
}

void RichTextBox::setFontItalic(bool on)
{
    QFont font = registerFont();
    font.setItalic(on);
    QTextCharFormat format;
    format.setFontItalic(on);
    applyToWholeContent(format, font);
}

void RichTextBox::setFontUnderline(bool on)
{
    QFont font = registerFont();
    font.setUnderline(on);
    QTextCharFormat format;
    format.setFontUnderline(on);
    applyToWholeContent(format, font);
}

void RichTextBox::setFontSize(qreal points)
{
    QFont font = registerFont();
    font.setPointSizeF(points);
    QTextCharFormat format;
    format.setFontPointSize(points);
    applyToWholeContent(format, font);
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

void RichTextBox::setPointer(const QCursor& pointer)
{
    m_pointer = pointer;
    viewport()->setCursor(m_pointer);
}

void RichTextBox::setHeightTwips(int twips)
{
    resize(width(), twipsToPixels(twips));
}

bool RichTextBox::event(QEvent* event)
{
    // Tab moves on to the next control while the register is locked; while editing it types a tab and
    // Ctrl+Tab moves on.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && (m_locked || key->modifiers() & Qt::ControlModifier)) {
            const bool backwards = key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier;
            focusNextPrevChild(!backwards);
            return true;
        }
    }
    return QTextEdit::event(event);
}

void RichTextBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = viewport()->mapTo(this, event->position().toPoint());
    Q_EMIT mouseDown(event->button(), event->modifiers(), position);
    QTextEdit::mousePressEvent(event);
}

void RichTextBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = viewport()->mapTo(this, event->position().toPoint());
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), position);
    QTextEdit::mouseMoveEvent(event);
}

} // namespace krambol::platform
