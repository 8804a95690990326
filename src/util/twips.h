#pragma once

#include <cstdint>

namespace ampora {

// The screen's horizontal twips per pixel (1440 / logical DPI, to the nearest integer),
// set once at start-up before any window is laid out; 15 on a standard display.
extern int32_t TwipsPerPixel;

// The pixel of a twip position: nearest(twips) integer-divided by twipsPerPixel. Raises
// on a twipsPerPixel of 0 and on overflow.
int32_t PixelsFromTwips(double twips, int32_t twipsPerPixel = TwipsPerPixel);

// The twip length of a pixel length (fractions allowed): pixels times twipsPerPixel.
double TwipsFromPixels(double pixels, int32_t twipsPerPixel = TwipsPerPixel);

}  // namespace ampora
