// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "platform/Clipboard.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Product.h"
#include "register/Register.h"
#include "textpane/RichTextBox.h"
#include "textpane/TextPrinter.h"

#include <QPrinter>

namespace krambol::shell {

namespace {

// A printer that could not be opened, or failed on the way, is told of: a print is never reported as
// done when nothing came out.
void showPrintFailure(platform::MessageBox& messages, const QPrinter& printer, textpane::PrintOutcome outcome)
{
    const bool toFile = !printer.outputFileName().isEmpty();
    const bool started = outcome != textpane::PrintOutcome::NotStarted;
    if (toFile) {
        platform::showFileFailure(messages, QStringLiteral("Не удалось напечатать в файл"), printer.outputFileName(),
                                  started ? QStringLiteral("Файл не удалось записать до конца.")
                                          : QStringLiteral("Файл не открывается для записи."));
        return;
    }
    messages.show(QStringLiteral("Не удалось напечатать на принтере «") + printer.printerName() + QStringLiteral("».\n")
                      + (started ? QStringLiteral("Принтер принял не все страницы.")
                                 : QStringLiteral("Принтер не принимает задание.")),
                  platform::productName(), platform::MessageIcon::Critical, platform::MessageButtons::Ok);
}

} // namespace

// Cut, copy, paste and print work on the register's selection whatever the edit mode. Each goes on
// past a step that fails and reports nothing: a clipboard that cannot be reached leaves the clipboard
// as it was, and a cut still deletes.

void Form1::copySelectionRtf()
{
    // The selection is one in the register an open under way brings.
    finishOpening();
    const QTextCursor selection = m_ui.Box->textCursor();
    m_services.clipboard.setDeferredText(
        m_register->rtfBetweenLater(selection.selectionStart(), selection.selectionEnd()));
}

void Form1::мм_Click()
{
    copySelectionRtf();
}

void Form1::щщ_Click()
{
    copySelectionRtf();
    m_ui.Box->deleteSelection();
}

void Form1::амвпа_Click()
{
    finishOpening();
    // A clipboard that cannot be read inserts nothing; one without text deletes the selection.
    if (const std::optional<QString> text = m_services.clipboard.text())
        m_ui.Box->editAtCaret([&](QTextCursor& cursor) { reg::Register::insertClipboardText(cursor, *text); });
}

void Form1::нг_Click()
{
    // What is printed depends only on whether text is selected now, not on the range picked in the
    // dialog. Cancel, in the dialog or while the pages are made, shows nothing more.
    finishOpening();
    const bool selection = m_ui.Box->selectionLength() > 0;
    const std::unique_ptr<QPrinter> printer =
        m_services.dialog.showPrinter({QStringLiteral("Печать"), selection});
    if (!printer)
        return;
    const textpane::PrintOutcome outcome = m_ui.Box->printSelection(printer.get(), m_services.progress);
    if (outcome == textpane::PrintOutcome::NotStarted || outcome == textpane::PrintOutcome::Failed)
        showPrintFailure(m_services.messages, *printer, outcome);
}

} // namespace krambol::shell
