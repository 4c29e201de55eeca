// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RegisterFiles.h"

#include "platform/AppExit.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Product.h"
#include "register/Register.h"
#include "textpane/RichTextBox.h"

namespace krambol::reg {

namespace {
const QString kRegisterFilter = platform::productName() + QStringLiteral("(*.krm)|*.krm");
} // namespace

RegisterFiles::RegisterFiles(Register& entries, textpane::RichTextBox& box, const Seams& seams,
                             std::function<void(const QString&)> setCaption)
    : m_register(entries)
    , m_box(box)
    , m_seams(seams)
    , m_setCaption(std::move(setCaption))
{
}

bool RegisterFiles::save(const QString& dialogTitle)
{
    // The name is taken as typed: no extension is added, and an existing file is replaced unasked.
    const QString path = m_seams.dialog.showSave({dialogTitle, kRegisterFilter});
    if (path.isEmpty())
        return true;
    if (const auto error = m_register.save(path)) {
        platform::showFileFailure(m_seams.messages, QStringLiteral("Не удалось сохранить список в файл"), path,
                                  *error);
        return false;
    }
    return true;
}

void RegisterFiles::open()
{
    const QString path = m_seams.dialog.showOpen({QStringLiteral("Открыть"), kRegisterFilter});
    if (path.isEmpty())
        return;
    if (const auto error = m_register.open(path)) {
        platform::showFileFailure(m_seams.messages, QStringLiteral("Не удалось открыть файл"), path, *error);
        return;
    }
    m_box.showStart();
    m_setCaption(path);
}

void RegisterFiles::exit()
{
    // There is no record of unsaved changes: the question comes whenever the register holds text.
    if (m_register.text().isEmpty()) {
        m_seams.appExit.exitApplication();
        return;
    }
    switch (m_seams.messages.show(QStringLiteral("Сохранить список?"), QStringLiteral("Выход"),
                                  platform::MessageIcon::Question, platform::MessageButtons::YesNoCancel)) {
    case platform::MessageAnswer::No:
        m_seams.appExit.exitApplication();
        return;
    case platform::MessageAnswer::Yes:
        // A cancelled dialog still ends the application; a failed save keeps it running, so the
        // register is not lost.
        if (save(QString::fromUtf16(kSaveTitle)))
            m_seams.appExit.exitApplication();
        return;
    default:
        return;
    }
}

} // namespace krambol::reg
