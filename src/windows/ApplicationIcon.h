// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace krambol::windows {

// The application's icon in every size we draw it (48 to 256 pixels), so windows, task bars and
// high-density screens each pick a sharp rendering instead of enlarging the 48-pixel one.
QIcon applicationIcon();

} // namespace krambol::windows
