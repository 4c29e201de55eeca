// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The compiled-in pictures of the auxiliary windows.
namespace krambol::windows {

// The large picture the splash and the about window share (974 x 605 pixels, JPEG).
inline constexpr char kSharedPicturePath[] = ":/windows/picture.jpg";
// The heading icon of the tips window (32 x 32 pixels, 16 colours).
inline constexpr char kTipIconPath[] = ":/windows/tip.ico";

} // namespace krambol::windows
