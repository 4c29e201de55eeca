// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace krambol::platform {
class AppExit;
class CommonDialog;
class MessageBox;
} // namespace krambol::platform
namespace krambol::textpane {
class RichTextBox;
} // namespace krambol::textpane

namespace krambol::reg {

class Register;

// Dialog titles of the save commands: the button, the toolbar and the exit question use the first
// (its first letter is the Latin C), the menu the second (all Cyrillic).
inline constexpr const char16_t* kSaveTitle = u"Cохранить";
inline constexpr const char16_t* kMenuSaveTitle = u"Сохранить";

// Saving the register to a file, opening one into it, and the exit command that offers to save.
// A save or open that fails says so and leaves the register, the caption and the file already on
// disk as they were.
//
// A save writes its file on a thread of its own, and the window goes on at once: the file holds the
// register as it was when the name was chosen. One write runs at a time; the next save, an open, the
// exit command and the end of this object wait for it. Its failure is told as soon as it is known.
// A write is over when its file is in place; the thread then gives back what it held, the storage of
// the file it replaced too, which nobody waits for but the next write's thread and the end of this
// object.
//
// An open reads the file and builds its register on a thread of its own too, and the window goes on at
// once; the register becomes the file's when that is done, or as soon as anything needs the register.
class RegisterFiles
{
public:
    struct Seams
    {
        platform::CommonDialog& dialog;
        platform::MessageBox& messages;
        platform::AppExit& appExit;
    };

    RegisterFiles(Register& entries, textpane::RichTextBox& box, const Seams& seams,
                  std::function<void(const QString&)> setCaption);
    ~RegisterFiles();
    RegisterFiles(const RegisterFiles&) = delete;
    RegisterFiles& operator=(const RegisterFiles&) = delete;

    // Starts writing the register to the file chosen in the dialog.
    void save(const QString& dialogTitle);
    void open();
    void exit();
    // Waits for a write under way and tells its failure; false when it failed.
    bool finishWriting();
    // Ends an open under way and tells its failure; false when it failed.
    bool finishOpening();

private:
    struct Write;
    // Chooses the file and starts the write; false when no file was chosen.
    bool startSave(const QString& dialogTitle);
    void written(quint64 id);
    void openEnded(const QString& path, const std::optional<QString>& error);
    void tellOpenFailure(const QString& path, const QString& error);

    Register& m_register;
    textpane::RichTextBox& m_box;
    Seams m_seams;
    std::function<void(const QString&)> m_setCaption;
    // Receives the news of a finished write on this object's thread.
    QObject m_news;
    // The write under way, or over and not yet told.
    std::unique_ptr<Write> m_write;
    // The last write told, whose thread may still be giving back what it held.
    std::unique_ptr<Write> m_told;
    quint64 m_writes = 0;
    // Set while finishOpening ends an open: its failure is told there, not later.
    bool m_endingOpen = false;
};

} // namespace krambol::reg
