// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextCursor>
#include <QTextDocument>

namespace krambol::textpane {

// Runs a cursor operation inside an edit block. Outside one, a cursor that moves or writes asks the
// paragraph's own layout which line it is on, and that itemizes the whole paragraph: tens of
// milliseconds for a paragraph of two million characters, on every move after a change. Inside one,
// QTextCursor leaves the layout alone (tst_richtextbox's largeRegisterIsNeverLaidOutByTheDocument
// guards this).
template <typename Operation>
void quietly(QTextCursor& cursor, Operation operation)
{
    cursor.beginEditBlock();
    operation();
    cursor.endEditBlock();
}

inline void place(QTextCursor& cursor, int position, QTextCursor::MoveMode mode = QTextCursor::MoveAnchor)
{
    quietly(cursor, [&] { cursor.setPosition(position, mode); });
}

// Writes to the document without leaving an undo step, while it lives: what a program writes over the
// whole content replaces it, and the user's earlier edits cannot be undone into it. Turning undo off
// clears the document's undo history.
class NoUndo
{
public:
    explicit NoUndo(QTextDocument& document)
        : m_document(document)
    {
        m_document.setUndoRedoEnabled(false);
    }
    ~NoUndo() { m_document.setUndoRedoEnabled(true); }
    NoUndo(const NoUndo&) = delete;
    NoUndo& operator=(const NoUndo&) = delete;

private:
    QTextDocument& m_document;
};

} // namespace krambol::textpane
