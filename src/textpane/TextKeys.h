// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QKeyEvent;

namespace krambol::textpane {

// Where a caret move goes.
enum class Motion {
    None,
    PreviousCharacter,
    NextCharacter,
    PreviousWord,
    NextWord,
    LineStart,
    LineEnd,
    PreviousLine,
    NextLine,
    PreviousPage,
    NextPage,
    ParagraphStart,
    ParagraphEnd,
    DocumentStart,
    DocumentEnd,
};

// What a key asks of a text pane.
enum class KeyAction {
    None,
    Move,          // the caret goes to the motion's place, the selection goes
    Select,        // the caret goes there, the anchor stays
    SelectAll,
    Deselect,
    Copy,
    // Those below change the text.
    Cut,
    Paste,
    Undo,
    Redo,
    DeleteBack,     // the selection, or back to the motion's place
    DeleteForward,  // the selection, or on to the motion's place
    DeleteLine,
    NewParagraph,
};

struct KeyCommand
{
    KeyAction action = KeyAction::None;
    Motion motion = Motion::None;

    bool changesText() const { return action >= KeyAction::Cut; }
};

// The command of a key press, found through the platform's own key bindings (QKeySequence's standard
// keys) as Qt's text fields find it: a word to the right is Ctrl+Right on Windows and X11 and Alt+Right
// on macOS. Printable text is not a command; the pane types it.
KeyCommand keyCommand(const QKeyEvent& event);

} // namespace krambol::textpane
