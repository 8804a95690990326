#pragma once

#include <cstdint>

#include "controls/color.h"
#include "controls/surface.h"

// The surface painter: every window background, control face and knob of the program is
// one of these numbered designs, drawn from three colours c1, c2, c3.
//
//   -2  fill with c2                       7, 8  as 5, 6 with the final frame
//   -1  only the final frame               9     knob face
//    0  20-pixel gradient bands, framed    10    as 0 with 8-pixel bands
//    1  3-pixel bevel                      11    as 1 with the final frame
//    2  diagonal gradient c1 to c2         12    pillow face with circular corners
//  3,4  horizontal gradient c2 / c3        13    circular knob (extras: radius, centre)
//    5  vertical mirror gradient           14    textured background with raised frame
//    6  horizontal mirror gradient         15    as 14, lighter top and darker bottom
//
// A colour of -1 takes its default (tones 0, 1, 2 of ToneColor); an extra of -99999 takes
// its default. A run-time error ends the painting quietly (unless ErrorCatch is set),
// leaving what was drawn so far. Other style numbers draw nothing.
//
// Thread: UI thread.

namespace ampora {

constexpr Color kDefaultColor = -1;
constexpr int32_t kDefaultExtra = -99999;

void PaintSurface(Surface& surface, int32_t style, Color c1 = kDefaultColor,
                  Color c2 = kDefaultColor, Color c3 = kDefaultColor,
                  int32_t extra1 = kDefaultExtra, int32_t extra2 = kDefaultExtra,
                  int32_t extra3 = kDefaultExtra);

// A diagonal gradient color1 to color2 (unless noGradient is set) inside a raised frame of
// `width` pixels: color2 + 40 at the top and left, color1 - 40 at the bottom and right.
void PaintFramed(Surface& surface, Color color1, Color color2, int32_t noGradient, int32_t width);

}  // namespace ampora
