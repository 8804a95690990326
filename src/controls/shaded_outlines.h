#pragma once

#include <cstdint>

#include "controls/color.h"
#include "controls/surface.h"

// Shaded outlines drawn point by point with the surface's pen (fore colour and pen
// width), the colour sliding from colour A at the top to colour B at the bottom. Both
// set the surface's pen width and leave the fore colour at the last colour used.
// Coordinates are pixels. A run-time error (corners so far apart that the arithmetic
// overflows) ends the drawing quietly, unless ErrorCatch is set, leaving what was drawn.
//
// Thread: UI thread.

namespace ampora {

// Outline of the rectangle (x1, y1)-(x2, y2) with circular corners of radius
// (y2 - y1) / 3 - 1; a radius below 0 (a rectangle less than three pixels high) leaves
// no room for the corners, and nothing is drawn.
void DrawCurvedRing(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color colorA,
                    Color colorB, int32_t penWidth);

// A circle (mode 0, 190 steps) or a four-step figure (mode 1) of radius (y2 - y1) / 2 - 2
// around the rectangle's centre.
void DrawShadedCircle(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      Color colorA, Color colorB, int32_t penWidth, int32_t mode);

}  // namespace ampora
