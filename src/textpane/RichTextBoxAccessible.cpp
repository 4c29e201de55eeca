// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/RichTextBoxAccessible.h"

#include "textpane/RichTextBox.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace krambol::textpane {

namespace {

QAccessibleInterface* makeInterface(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<RichTextBox*>(object))
        return new RichTextBoxAccessible(box);
    return nullptr;
}

// Characters looked at around an offset to find the word, sentence or line it is in.
constexpr int kReach = 2048;

} // namespace

RichTextBoxAccessible::RichTextBoxAccessible(RichTextBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

void RichTextBoxAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}

RichTextBox* RichTextBoxAccessible::box() const
{
    return static_cast<RichTextBox*>(widget());
}

QAccessible::State RichTextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.editable = !box()->isLocked();
    state.readOnly = box()->isLocked();
    state.selectableText = true;
    return state;
}

QString RichTextBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->text();
    return QAccessibleWidget::text(t);
}

void* RichTextBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface && !box()->isLocked())
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void RichTextBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = box()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int RichTextBoxAccessible::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void RichTextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void RichTextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void RichTextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int end = characterCount();
    QTextCursor cursor = box()->textCursor();
    cursor.beginEditBlock();
    cursor.setPosition(std::clamp(startOffset, 0, end));
    cursor.setPosition(std::clamp(endOffset, 0, end), QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    box()->setTextCursor(cursor);
}

int RichTextBoxAccessible::cursorPosition() const
{
    return box()->textCursor().position();
}

void RichTextBoxAccessible::setCursorPosition(int position)
{
    setSelection(0, position, position);
}

QString RichTextBoxAccessible::text(int startOffset, int endOffset) const
{
    const int end = characterCount();
    startOffset = std::clamp(startOffset, 0, end);
    endOffset = std::clamp(endOffset, startOffset, end);
    if (startOffset == endOffset)
        return {};
    QTextCursor cursor(box()->document());
    cursor.beginEditBlock();
    cursor.setPosition(startOffset);
    cursor.setPosition(endOffset, QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

void RichTextBoxAccessible::unitAround(int offset, QAccessible::TextBoundaryType boundaryType, int* start,
                                       int* end) const
{
    const int count = characterCount();
    offset = std::clamp(offset, 0, count);
    const QTextBlock block = box()->document()->findBlock(offset);
    const int blockStart = block.position();
    const int blockEnd = block.position() + block.length() - 1;
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        *start = offset;
        *end = std::min(count, offset + 1);
        return;
    case QAccessible::NoBoundary:
        *start = 0;
        *end = count;
        return;
    case QAccessible::ParagraphBoundary:
        *start = blockStart;
        *end = std::min(count, blockEnd + 1);
        return;
    case QAccessible::LineBoundary: {
        // The visual line, as the pane wraps it.
        const QRect place = box()->characterRect(offset);
        const int first = box()->positionAt(QPoint(0, place.center().y()));
        const int last = box()->positionAt(QPoint(box()->viewport()->width() * 4, place.center().y()));
        *start = std::min(first, offset);
        *end = std::min(count, std::max(last + 1, offset + 1));
        return;
    }
    case QAccessible::WordBoundary:
    case QAccessible::SentenceBoundary: {
        const int from = std::max(blockStart, offset - kReach);
        const int to = std::min(blockEnd, offset + kReach);
        const QString around = text(from, to);
        QTextBoundaryFinder finder(boundaryType == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                             : QTextBoundaryFinder::Sentence,
                                   around);
        finder.setPosition(offset - from);
        qsizetype before = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
        finder.setPosition(offset - from);
        qsizetype after = finder.toNextBoundary();
        *start = from + int(before < 0 ? 0 : before);
        *end = from + int(after < 0 ? around.size() : after);
        return;
    }
    }
    *start = offset;
    *end = offset;
}

QString RichTextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    unitAround(offset, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString RichTextBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAround(offset, boundaryType, &start, &end);
    if (start <= 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    unitAround(start - 1, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString RichTextBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                               int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAround(offset, boundaryType, &start, &end);
    if (end >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    unitAround(end, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

int RichTextBoxAccessible::characterCount() const
{
    return box()->document()->characterCount() - 1;
}

QRect RichTextBoxAccessible::characterRect(int offset) const
{
    const QRect inViewport = box()->characterRect(offset);
    return QRect(box()->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

int RichTextBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint inViewport = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(inViewport))
        return -1;
    return box()->positionAt(inViewport);
}

void RichTextBoxAccessible::scrollToSubstring(int startIndex, int)
{
    setCursorPosition(startIndex);
    box()->ensureCursorVisible();
}

QString RichTextBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

void RichTextBoxAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void RichTextBoxAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void RichTextBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    // An assistive tool edits as the user would: never while the register is locked.
    if (box()->isLocked())
        return;
    const int count = characterCount();
    QTextCursor cursor(box()->document());
    cursor.beginEditBlock();
    cursor.setPosition(std::clamp(startOffset, 0, count));
    cursor.setPosition(std::clamp(endOffset, 0, count), QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.endEditBlock();
    box()->setTextCursor(cursor);
}

} // namespace krambol::textpane
