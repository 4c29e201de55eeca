#include "platform/RichTextBox.h"

#include "platform/Twips.h"

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
}

void RichTextBox::setHeightTwips(int twips)
{
    resize(width(), twipsToPixels(twips));
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
