// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "register/Entry.h"

class QLineEdit;

namespace krambol::platform {
class MessageBox;
class RichTextBox;
} // namespace krambol::platform

namespace krambol::reg {

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
    platform::RichTextBox* box;
};

// Accepting an entry: checks both fields, composes the entry and writes it into the register. The
// first accept of a run replaces the register, later ones append to its plain text.
class EntryAcceptance
{
public:
    EntryAcceptance(const EntryControls& controls, platform::MessageBox& messages);

    // Returns whether an entry was added.
    bool accept(EntryShape shape);

private:
    EntryFields fields() const;

    EntryControls m_controls;
    platform::MessageBox& m_messages;
};

} // namespace krambol::reg
