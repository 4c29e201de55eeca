// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace krambol::windows {

// Places a top-level window so that its client area is centred on the primary screen's free area.
void centreOnPrimaryScreen(QWidget* window);

} // namespace krambol::windows
