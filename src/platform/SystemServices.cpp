// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemServices.h"

namespace krambol::platform {

void SystemServices::setDialogParent(QWidget* parent)
{
    m_messages.setParent(parent);
    m_dialog.setParent(parent);
    m_progress.setParent(parent);
}

Services SystemServices::services()
{
    return Services{m_messages, m_dialog, m_clipboard, m_clock, m_capsLock, m_appExit, m_progress};
}

} // namespace krambol::platform
