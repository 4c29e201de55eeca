// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/AppExit.h"
#include "platform/CapsLock.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"
#include "platform/Services.h"

class QWidget;

namespace krambol::platform {

// The real seams, owned in one place for the application's run.
class SystemServices
{
public:
    // The window the modal boxes and dialogs belong to.
    void setDialogParent(QWidget* parent);
    Services services();

private:
    QtMessageBox m_messages;
    QtCommonDialog m_dialog;
    QtClipboard m_clipboard;
    SystemClock m_clock;
    SystemCapsLock m_capsLock;
    QtAppExit m_appExit;
    QtProgress m_progress;
};

} // namespace krambol::platform
