// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace krambol::design {

// The design's fonts are named "MS Sans Serif"; where the desktop has no such font, a sans font with
// Cyrillic glyphs stands in. Safe to call more than once.
void installFontSubstitutions();

} // namespace krambol::design
