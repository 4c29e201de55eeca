// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Lengths of the window design are twips: 1/1440 inch, 15 twips to one device-independent pixel.
namespace krambol::design {

inline constexpr int kTwipsPerPixel = 15;

// The non-client frame of a window (borders, caption bar and menu bar) as the design counts it:
// an outer size of 7830 x 6450 twips holds a client area of 7755 x 5835 twips.
inline constexpr int kFrameWidthTwips = 75;
inline constexpr int kFrameHeightTwips = 615;

constexpr int twipsToPixels(int twips)
{
    // Round half away from zero; every length of the design is a whole number of pixels or close to it.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

constexpr QRect twipsToPixels(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// Where the design places a control: twips from the top-left corner of its container's client area.
// Every placement row of the windows' designs carries one.
struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

constexpr QRect twipsToPixels(const TwipsRect& place)
{
    return twipsToPixels(place.left, place.top, place.width, place.height);
}

// Client size in pixels for an outer window height or width given in twips.
constexpr int clientHeightForOuter(int outerHeightTwips) { return twipsToPixels(outerHeightTwips - kFrameHeightTwips); }
constexpr int clientWidthForOuter(int outerWidthTwips) { return twipsToPixels(outerWidthTwips - kFrameWidthTwips); }

} // namespace krambol::design
