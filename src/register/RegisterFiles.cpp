// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/RegisterFiles.h"

#include "platform/AppExit.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Product.h"
#include "platform/WholeFile.h"
#include "register/Register.h"
#include "textpane/RichTextBox.h"

#include <condition_variable>
#include <mutex>
#include <thread>

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
    m_register.onOpenEnded([this](const QString& path, const std::optional<QString>& error) { openEnded(path, error); });
}

struct RegisterFiles::Write
{
    quint64 id = 0;
    QString path;
    std::thread thread;
    // Set by the thread when the write is over.
    std::mutex mutex;
    std::condition_variable over;
    bool done = false;
    std::optional<QString> error;

    void waitUntilOver()
    {
        std::unique_lock lock(mutex);
        over.wait(lock, [this] { return done; });
    }
};

RegisterFiles::~RegisterFiles()
{
    // The program may end while a file is being written: the write goes on to its end, so the file is
    // either the new one whole or the old one as it was. Nobody is left to tell of a failure. Each
    // write's thread ends after the one before it.
    if (m_write)
        m_write->thread.join();
    else if (m_told)
        m_told->thread.join();
    m_register.onOpenEnded({});
}

void RegisterFiles::save(const QString& dialogTitle)
{
    startSave(dialogTitle);
}

bool RegisterFiles::startSave(const QString& dialogTitle)
{
    // The name is taken as typed: no extension is added, and an existing file is replaced unasked.
    const QString path = m_seams.dialog.showSave({dialogTitle, kRegisterFilter});
    if (path.isEmpty())
        return false;
    // A write already under way ends first, so that the files come out in the order they were saved; an
    // open, so that the file holds the register it brings.
    finishWriting();
    finishOpening();
    auto write = std::make_unique<Write>();
    write->id = ++m_writes;
    write->path = path;
    Write* const w = write.get();
    m_write = std::move(write);
    w->thread = std::thread([this, w, before = std::move(m_told), snapshot = m_register.snapshot()]() mutable {
        {
            platform::ReplacedFile replaced;
            std::optional<QString> error = Register::write(w->path, snapshot, &replaced);
            {
                const std::lock_guard lock(w->mutex);
                w->error = std::move(error);
                w->done = true;
            }
            w->over.notify_all();
            QMetaObject::invokeMethod(&m_news, [this, id = w->id] { written(id); }, Qt::QueuedConnection);
            snapshot = {};
        }
        if (before)
            before->thread.join();
    });
    return true;
}

void RegisterFiles::written(quint64 id)
{
    // News of a write that was already waited for is old.
    if (m_write && m_write->id == id)
        finishWriting();
}

bool RegisterFiles::finishWriting()
{
    if (!m_write)
        return true;
    m_write->waitUntilOver();
    // Its thread goes on giving back what it held; the next write's thread or the end of this object
    // waits for that.
    m_told = std::move(m_write);
    if (m_told->error) {
        platform::showFileFailure(m_seams.messages, QStringLiteral("Не удалось сохранить список в файл"),
                                  m_told->path, *m_told->error);
        return false;
    }
    return true;
}

void RegisterFiles::open()
{
    const QString path = m_seams.dialog.showOpen({QStringLiteral("Открыть"), kRegisterFilter});
    if (path.isEmpty())
        return;
    // The file may be the one being written.
    finishWriting();
    finishOpening();
    m_register.beginOpen(path);
}

void RegisterFiles::openEnded(const QString& path, const std::optional<QString>& error)
{
    if (!error) {
        m_box.showStart();
        m_setCaption(path);
        return;
    }
    if (m_endingOpen) {
        tellOpenFailure(path, *error);
        return;
    }
    // The open ended because something asked the register, perhaps deep in an event of its own: the
    // failure is told once that is over.
    QMetaObject::invokeMethod(&m_news, [this, path, why = *error] { tellOpenFailure(path, why); },
                              Qt::QueuedConnection);
}

void RegisterFiles::tellOpenFailure(const QString& path, const QString& error)
{
    platform::showFileFailure(m_seams.messages, QStringLiteral("Не удалось открыть файл"), path, error);
}

bool RegisterFiles::finishOpening()
{
    if (!m_register.opening())
        return true;
    m_endingOpen = true;
    const bool opened = !m_register.finishOpen();
    m_endingOpen = false;
    return opened;
}

void RegisterFiles::exit()
{
    // A save that failed keeps the program running, so the register is not lost.
    if (!finishWriting())
        return;
    finishOpening();
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
        if (!startSave(QString::fromUtf16(kSaveTitle)) || finishWriting())
            m_seams.appExit.exitApplication();
        return;
    default:
        return;
    }
}

} // namespace krambol::reg
