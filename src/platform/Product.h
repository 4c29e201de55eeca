// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace krambol::platform {

// The product's name: the title of every message box, the application's name and the name of its
// register files in the file dialogs.
inline QString productName()
{
    return QStringLiteral("Крамбол");
}

} // namespace krambol::platform
