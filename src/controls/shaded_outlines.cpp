#include "controls/shaded_outlines.h"

#include <cmath>
#include <numbers>

#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// The pen colour at step k of a walk of `steps` steps: colour B half way, colour A at
// both ends.
Color ShadeAt(Color colorA, Color colorB, double k, double steps) {
  const double t = std::fabs(k - steps / 2) / (steps / 2);
  const RgbParts a = SplitRGB(ResolveColor(colorA));
  const RgbParts b = SplitRGB(ResolveColor(colorB));
  auto mix = [t](int32_t from, int32_t to) { return RoundInt32(from * (1 - t) + to * t); };
  return MakeRGB(mix(b.red, a.red), mix(b.green, a.green), mix(b.blue, a.blue));
}

struct PointPx {
  int32_t x;
  int32_t y;
};

PointPx OnCircle(double centreX, double centreY, double radius, double angle) {
  return {RoundInt32(centreX + radius * std::cos(angle)),
          RoundInt32(centreY + radius * std::sin(angle))};
}

}  // namespace

void DrawCurvedRing(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color colorA,
                    Color colorB, int32_t penWidth) {
  constexpr double kSteps = 190.0;
  // The walk starts 260/360 of a turn round, at the top of the left corner.
  constexpr double kStart = 260.0 / 360.0 * kSteps;
  TrapErrors([&] {
    surface.SetDrawWidth(penWidth);
    const int32_t r = DivInt32(SubInt32(y2, y1), 3) - 1;
    // Less than three pixels high (or upside down), the corners have no room: their
    // centres cross over and the walk turns inside out into a bar across the rectangle,
    // colour B above colour A. Such a ring is left out.
    if (r < 0) return;
    for (int32_t k = 0; k <= 190; ++k) {
      const double index = kStart + k;
      const double angle = index * 2 * std::numbers::pi / kSteps;
      // Each quarter of the walk circles round its own corner; the straight sides come
      // from the jumps between corner centres.
      const int32_t quarter = RoundInt32(index) % 190;
      const double left = static_cast<double>(x1) + r;
      const double right = static_cast<double>(x2) - r - 1;
      const double upper = static_cast<double>(y1) + r;
      const double lower = static_cast<double>(y2) - r - 2;
      double centreX = 0;
      double centreY = 0;
      if (quarter < 47.5) {
        centreX = right;
        centreY = lower;
      } else if (quarter < 95) {
        centreX = left;
        centreY = lower;
      } else if (quarter < 142.5) {
        centreX = left;
        centreY = upper;
      } else {
        centreX = right;
        centreY = upper;
      }
      const PointPx point = OnCircle(centreX, centreY, r, angle);
      if (k == 0) surface.MoveTo(point.x, point.y);
      surface.SetForeColor(ShadeAt(colorA, colorB, k, kSteps));
      surface.LineTo(point.x, point.y);
    }
  });
}

void DrawShadedCircle(Surface& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      Color colorA, Color colorB, int32_t penWidth, int32_t mode) {
  const double steps = mode == 0 ? 190.0 : 4.0;
  const double start = mode == 0 ? 250.0 / 360.0 * 190.0 : 3.5;
  TrapErrors([&] {
    const double radius = DivInt32(SubInt32(y2, y1), 2) - 2;
    const double centreX = DivInt32(AddInt32(x1, x2), 2);
    const double centreY = DivInt32(AddInt32(y1, y2), 2);
    surface.SetDrawWidth(penWidth);
    const PointPx first = OnCircle(centreX, centreY, radius, start * 2 * std::numbers::pi / steps);
    surface.MoveTo(first.x, first.y);
    for (int32_t k = 0; k <= static_cast<int32_t>(steps); ++k) {
      surface.SetForeColor(ShadeAt(colorA, colorB, k, steps));
      const PointPx point =
          OnCircle(centreX, centreY, radius, (start + k) * 2 * std::numbers::pi / steps);
      surface.LineTo(point.x, point.y);
    }
  });
}

}  // namespace ampora
