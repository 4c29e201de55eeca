// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "register/Entry.h"

class QLineEdit;

namespace krambol::platform {
class MessageBox;
} // namespace krambol::platform
namespace krambol::textpane {
class RichTextBox;
} // namespace krambol::textpane

namespace krambol::reg {

class Register;

// The fields of the main window an accept reads and writes.
struct EntryControls
{
    QLineEdit* name;        // Text1
    QLineEdit* disc;        // Text2
    QLineEdit* date;        // Text7
    QLineEdit* separator;   // Text3
    QLineEdit* leadIn;      // Text4
    QLineEdit* firstFlag;   // Text5
    QLineEdit* endMark;     // Text6
    textpane::RichTextBox* box;
};

// Accepting an entry: checks both fields, composes the entry and writes it into the register. The
// first accept of a run replaces the register, later ones append to its plain text.
class EntryAcceptance
{
public:
    EntryAcceptance(const EntryControls& controls, Register& entries, platform::MessageBox& messages);

    // Returns whether an entry was added.
    bool accept(EntryShape shape);

private:
    EntryFields fields() const;

    EntryControls m_controls;
    Register& m_register;
    platform::MessageBox& m_messages;
};

} // namespace krambol::reg
