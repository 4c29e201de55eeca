// SPDX-License-Identifier: GPL-3.0-or-later
#include "textpane/TextKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace krambol::textpane {

namespace {

struct Binding
{
    QKeySequence::StandardKey key;
    KeyCommand command;
};

// Looked up in order; the first standard key the press matches decides.
constexpr Binding kBindings[] = {
    {QKeySequence::MoveToNextChar, {KeyAction::Move, Motion::NextCharacter}},
    {QKeySequence::MoveToPreviousChar, {KeyAction::Move, Motion::PreviousCharacter}},
    {QKeySequence::MoveToNextWord, {KeyAction::Move, Motion::NextWord}},
    {QKeySequence::MoveToPreviousWord, {KeyAction::Move, Motion::PreviousWord}},
    {QKeySequence::MoveToNextLine, {KeyAction::Move, Motion::NextLine}},
    {QKeySequence::MoveToPreviousLine, {KeyAction::Move, Motion::PreviousLine}},
    {QKeySequence::MoveToNextPage, {KeyAction::Move, Motion::NextPage}},
    {QKeySequence::MoveToPreviousPage, {KeyAction::Move, Motion::PreviousPage}},
    {QKeySequence::MoveToStartOfLine, {KeyAction::Move, Motion::LineStart}},
    {QKeySequence::MoveToEndOfLine, {KeyAction::Move, Motion::LineEnd}},
    {QKeySequence::MoveToStartOfBlock, {KeyAction::Move, Motion::ParagraphStart}},
    {QKeySequence::MoveToEndOfBlock, {KeyAction::Move, Motion::ParagraphEnd}},
    {QKeySequence::MoveToStartOfDocument, {KeyAction::Move, Motion::DocumentStart}},
    {QKeySequence::MoveToEndOfDocument, {KeyAction::Move, Motion::DocumentEnd}},

    {QKeySequence::SelectNextChar, {KeyAction::Select, Motion::NextCharacter}},
    {QKeySequence::SelectPreviousChar, {KeyAction::Select, Motion::PreviousCharacter}},
    {QKeySequence::SelectNextWord, {KeyAction::Select, Motion::NextWord}},
    {QKeySequence::SelectPreviousWord, {KeyAction::Select, Motion::PreviousWord}},
    {QKeySequence::SelectNextLine, {KeyAction::Select, Motion::NextLine}},
    {QKeySequence::SelectPreviousLine, {KeyAction::Select, Motion::PreviousLine}},
    {QKeySequence::SelectNextPage, {KeyAction::Select, Motion::NextPage}},
    {QKeySequence::SelectPreviousPage, {KeyAction::Select, Motion::PreviousPage}},
    {QKeySequence::SelectStartOfLine, {KeyAction::Select, Motion::LineStart}},
    {QKeySequence::SelectEndOfLine, {KeyAction::Select, Motion::LineEnd}},
    {QKeySequence::SelectStartOfBlock, {KeyAction::Select, Motion::ParagraphStart}},
    {QKeySequence::SelectEndOfBlock, {KeyAction::Select, Motion::ParagraphEnd}},
    {QKeySequence::SelectStartOfDocument, {KeyAction::Select, Motion::DocumentStart}},
    {QKeySequence::SelectEndOfDocument, {KeyAction::Select, Motion::DocumentEnd}},

    {QKeySequence::SelectAll, {KeyAction::SelectAll}},
    {QKeySequence::Deselect, {KeyAction::Deselect}},
    {QKeySequence::Copy, {KeyAction::Copy}},
    {QKeySequence::Cut, {KeyAction::Cut}},
    {QKeySequence::Paste, {KeyAction::Paste}},
    {QKeySequence::Undo, {KeyAction::Undo}},
    {QKeySequence::Redo, {KeyAction::Redo}},

    {QKeySequence::Backspace, {KeyAction::DeleteBack, Motion::PreviousCharacter}},
    {QKeySequence::Delete, {KeyAction::DeleteForward, Motion::NextCharacter}},
    {QKeySequence::DeleteStartOfWord, {KeyAction::DeleteBack, Motion::PreviousWord}},
    {QKeySequence::DeleteEndOfWord, {KeyAction::DeleteForward, Motion::NextWord}},
    {QKeySequence::DeleteEndOfLine, {KeyAction::DeleteForward, Motion::LineEnd}},
    {QKeySequence::DeleteCompleteLine, {KeyAction::DeleteLine}},
    // A line break inside a paragraph has no place in the register; Shift+Enter starts a paragraph too.
    {QKeySequence::InsertParagraphSeparator, {KeyAction::NewParagraph}},
    {QKeySequence::InsertLineSeparator, {KeyAction::NewParagraph}},
};

} // namespace

KeyCommand keyCommand(const QKeyEvent& event)
{
    // Backspace deletes back with or without Shift on every platform, as in Qt's own editors (Windows
    // binds Shift+Backspace to "Forward" as well).
    if (event.key() == Qt::Key_Backspace && !(event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return {KeyAction::DeleteBack, Motion::PreviousCharacter};
    for (const Binding& binding : kBindings)
        if (event.matches(binding.key))
            return binding.command;
    return {};
}

} // namespace krambol::textpane
