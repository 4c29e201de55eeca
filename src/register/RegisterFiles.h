// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

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

    // Returns false only when a chosen file could not be written.
    bool save(const QString& dialogTitle);
    void open();
    void exit();

private:
    Register& m_register;
    textpane::RichTextBox& m_box;
    Seams m_seams;
    std::function<void(const QString&)> m_setCaption;
};

} // namespace krambol::reg
