// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace krambol::platform {

// The application keeps no settings between runs. The toolkit's own dialogs would: the file dialog
// keeps its history, last folder, view and sidebar in the toolkit's settings file (organisation
// "QtProject") and reads them back on the next run; the colour dialog keeps its custom colours there.
// This points every settings location at a place that can be neither read nor created, so no
// settings file is read or written. Safe to call more than once; call it before any dialog is made.
void keepNoSettings();

} // namespace krambol::platform
