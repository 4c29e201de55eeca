// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCheckBox;
class QLineEdit;

namespace krambol::platform {
class Clock;
}

namespace krambol::reg {

struct DateControls
{
    QCheckBox* today;       // Check2 "Сегодня"
    QCheckBox* typed;       // Check4 "Ввод"
    QLineEdit* date;        // Text7
    QLineEdit* separator;   // Text3
};

// The two date modes: today's date filled in and locked, or a date typed by the user. At most one is
// on; either switches the separator to "-". Unticking one box from code runs that box's own reaction,
// but only when its state really changes (a toggled signal).
class DateModes
{
public:
    DateModes(const DateControls& controls, const platform::Clock& clock);

    void todayClicked();   // Check2_Click
    void typedClicked();   // Check4_Click

private:
    DateControls m_controls;
    const platform::Clock& m_clock;
};

} // namespace krambol::reg
