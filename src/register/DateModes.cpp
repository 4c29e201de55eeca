// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/DateModes.h"

#include "platform/Clock.h"

#include <QCheckBox>
#include <QLineEdit>

namespace krambol::reg {

namespace {
const QString kNoModeSeparator = QStringLiteral("------");
const QString kDateModeSeparator = QStringLiteral("-");
} // namespace

DateModes::DateModes(const DateControls& controls, const platform::Clock& clock)
    : m_controls(controls)
    , m_clock(clock)
{
}

void DateModes::todayClicked()
{
    if (m_controls.today->isChecked()) {
        m_controls.typed->setChecked(false);
        m_controls.date->setText(platform::shortDateText(m_clock.today()));
        m_controls.separator->setText(kDateModeSeparator);
        m_controls.date->setReadOnly(true);
    } else {
        m_controls.date->clear();
        m_controls.separator->setText(kNoModeSeparator);
        m_controls.date->setReadOnly(false);
    }
}

void DateModes::typedClicked()
{
    if (m_controls.typed->isChecked()) {
        m_controls.today->setChecked(false);
        m_controls.separator->setText(kDateModeSeparator);
    } else {
        // The lock is left alone: it is off in this mode.
        m_controls.date->clear();
        m_controls.separator->setText(kNoModeSeparator);
    }
}

} // namespace krambol::reg
