// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "platform/Clipboard.h"
#include "platform/CommonDialog.h"
#include "register/Register.h"
#include "textpane/RichTextBox.h"

#include <QPrinter>

namespace krambol::shell {

// Cut, copy, paste and print work on the register's selection whatever the edit mode. Each goes on
// past a step that fails and reports nothing: a clipboard that cannot be reached leaves the clipboard
// as it was, and a cut still deletes.

QString Form1::selectionRtf() const
{
    const QTextCursor selection = m_ui.Box->textCursor();
    return m_register->rtfBetween(selection.selectionStart(), selection.selectionEnd());
}

void Form1::мм_Click()
{
    m_services.clipboard.setText(selectionRtf());
}

void Form1::щщ_Click()
{
    m_services.clipboard.setText(selectionRtf());
    m_ui.Box->deleteSelection();
}

void Form1::амвпа_Click()
{
    // A clipboard that cannot be read inserts nothing; one without text deletes the selection.
    if (const std::optional<QString> text = m_services.clipboard.text())
        m_ui.Box->editAtCaret([&](QTextCursor& cursor) { reg::Register::insertClipboardText(cursor, *text); });
}

void Form1::нг_Click()
{
    // What is printed depends only on whether text is selected now, not on the range picked in the
    // dialog. Cancel prints nothing and shows nothing.
    const bool selection = m_ui.Box->selectionLength() > 0;
    const std::unique_ptr<QPrinter> printer =
        m_services.dialog.showPrinter({QStringLiteral("Печать"), selection});
    if (!printer)
        return;
    m_ui.Box->printSelection(printer.get());
}

} // namespace krambol::shell
