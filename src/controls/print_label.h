#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "controls/surface.h"

// Prints a caption on a window's surface beside one of its child controls, in the
// surface's font and fore colour. Placement (twips, from the control's geometry):
//   0 left, near the top         4 below, at the left edge
//   1 above, at the left edge    5 below, flush with the right edge
//   2 right, near the top        6 left, centred vertically
//   3 above, centred             7 right, centred vertically
// 30 twips of air above or below, 30 to the right, 90 to the left; dx, dy move it
// further. Any other placement prints at the surface's current position.
//
// Thread: UI thread.

namespace ampora {

void PrintLabel(Surface& surface, const QWidget& control, const std::string& text,
                int32_t placement, double dx = 0, double dy = 0);

}  // namespace ampora
