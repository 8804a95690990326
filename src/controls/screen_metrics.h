#pragma once

#include <cstdint>

// The screen factor and what follows from it.
//
// Thread: UI thread (MeasureTwipsPerPixel asks the application's primary screen).

namespace ampora {

// 1440 / the primary screen's logical DPI, to the nearest integer (ties to even).
int32_t MeasureTwipsPerPixel();

// 1440 / dpi to the nearest integer, at least 1 and at most 1440: a screen finer than
// 2880 dpi still gives a factor every conversion can divide by. 15 when the screen
// reports no usable resolution.
int32_t TwipsPerPixelForDpi(double dpi);

// The image resolution, in dots per metre, of a screen with this factor; pictures drawn
// at it show fonts given in points as large as the screen does.
int32_t DotsPerMeterFor(int32_t twipsPerPixel);

}  // namespace ampora
