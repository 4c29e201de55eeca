// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RegisterFiles.h"

#include "platform/AppExit.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Product.h"
#include "platform/RichTextBox.h"
#include "platform/RichTextDocument.h"
#include "platform/WholeFile.h"
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <QTextDocument>

namespace krambol::reg {

namespace {
const QString kRegisterFilter = platform::productName() + QStringLiteral("(*.krm)|*.krm");

// A register file larger than this is not a register: refuse it rather than exhaust memory. Showing a
// file takes up to ten times its size in memory (the reader refuses what would take more), so 64 MiB may
// take 640 MiB; a register spends about 95 bytes on an entry, so this leaves room for 700 000 entries.
constexpr qint64 kLargestFile = qint64(64) * 1024 * 1024;

// The whole register as an RTF file, all or nothing: a failed save leaves the file already there.
std::optional<QString> saveRegisterFile(const platform::RichTextBox& box, const QString& path)
{
    return platform::replaceFileWhole(path, rtf::write(platform::toRtfDocument(*box.document())));
}

// Replaces the whole register by the RTF document in the file; on failure the register stays as it was.
std::optional<QString> openRegisterFile(platform::RichTextBox& box, const QString& path)
{
    const platform::WholeFileRead file = platform::readRegularFile(
        path, kLargestFile,
        QStringLiteral("Файл слишком велик для списка должников: больше %1 МБ.").arg(kLargestFile / (1024 * 1024)));
    if (file.error)
        return file.error;
    const rtf::ReadResult result = rtf::read(file.bytes);
    if (result.error)
        return result.error->message();
    box.replaceContent([&](QTextCursor& cursor) { platform::insertRtfDocument(cursor, result.document); });
    return std::nullopt;
}
} // namespace

RegisterFiles::RegisterFiles(platform::RichTextBox& box, const Seams& seams,
                             std::function<void(const QString&)> setCaption)
    : m_box(box)
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
    if (const auto error = saveRegisterFile(m_box, path)) {
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
    if (const auto error = openRegisterFile(m_box, path)) {
        platform::showFileFailure(m_seams.messages, QStringLiteral("Не удалось открыть файл"), path, *error);
        return;
    }
    m_setCaption(path);
}

void RegisterFiles::exit()
{
    // There is no record of unsaved changes: the question comes whenever the register holds text.
    if (m_box.text().isEmpty()) {
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
