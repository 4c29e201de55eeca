// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AppExit.h"

#include <QApplication>
#include <QWidget>

namespace krambol::platform {

void QtAppExit::exitApplication()
{
    // No window gets a say: hide them all, then leave the event loop.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

} // namespace krambol::platform
