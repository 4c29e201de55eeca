#include "platform/RichTextBox.h"

#include "platform/RichTextDocument.h"
#include "platform/Twips.h"
#include "platform/rtf/Reader.h"
#include "platform/rtf/Writer.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocumentFragment>

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

void RichTextBox::applyToWholeContent(const QTextCharFormat& format)
{
    // The control's own font takes the property too, so plain text written later shows it.
    document()->setDefaultFont(format.font().resolve(registerFont()));
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
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

namespace {

// A register file larger than this is not a register: refuse it rather than exhaust memory.
constexpr qint64 kLargestFile = qint64(512) * 1024 * 1024;

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

std::optional<QString> RichTextBox::saveFile(const QString& path) const
{
    const QByteArray bytes = rtf::write(toRtfDocument(*document()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> RichTextBox::loadFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        return QStringLiteral("Это папка, а не файл.");
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.size() > kLargestFile)
        return QStringLiteral("Файл слишком велик для списка должников.");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();

    const rtf::ReadResult result = rtf::read(bytes);
    if (result.error)
        return result.error->message();
    document()->clear();
    QTextCursor cursor(document());
    insertRtfDocument(cursor, result.document);
    return std::nullopt;
}

QString RichTextBox::selectionRtf() const
{
    const QTextCursor selection = textCursor();
    return QString::fromLatin1(
        rtf::write(toRtfDocument(*document(), selection.selectionStart(), selection.selectionEnd())));
}

void RichTextBox::setSelectionRtf(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (beginsWithRtfHeader(text)) {
        // A broken or cut-off document still gives what could be read of it.
        insertRtfDocument(cursor, rtf::read(rtfBytes(text)).document);
    } else {
        cursor.insertText(text, QTextCharFormat());
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

int RichTextBox::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::deleteSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void RichTextBox::printSelection(QPrinter* printer) const
{
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection()) {
        document()->print(printer);
        return;
    }
    QTextDocument part;
    part.setDefaultFont(document()->defaultFont());
    QTextCursor(&part).insertFragment(selection.selection());
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
