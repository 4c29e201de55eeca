// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace krambol::reg {

// The texts of the main window's fields that feed an entry, each taken exactly as the field holds it.
struct EntryFields
{
    QString name;       // Text1
    QString disc;       // Text2
    QString date;       // Text7
    QString separator;  // Text3: "------", or "-" in either date mode
    QString leadIn;     // Text4: " ", begins every entry after the first of a run
    QString endMark;    // Text6: " |", ends a full entry
};

enum class EntryShape {
    Full,   // name, separator, date, separator, disc, end mark (the button and the menu)
    Short,  // name, separator, disc (the toolbar)
};

// The entry one accept adds. The first accept of a run has no lead-in, since it replaces the register.
QString composeEntry(const EntryFields& fields, EntryShape shape, bool firstAccept);

// The first-entry flag holds "Text5" at start and "2" after the first accept of a run; an accept is
// a first accept while the number the flag begins with is not 2.
inline constexpr const char16_t* kFirstEntryFlagAtStart = u"Text5";
inline constexpr const char16_t* kFirstEntryFlagAfter = u"2";
bool isFirstAccept(const QString& flag);

} // namespace krambol::reg
