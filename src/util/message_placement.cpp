#include "util/message_placement.h"

#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

namespace {
// nearest(origin + nearest(size) \ 2) \ twipsPerPixel.
int32_t CentreOf(double origin, double size, int32_t twipsPerPixel) {
  return PixelsFromTwips(DivInt32(RoundInt32(size), 2) + origin, twipsPerPixel);
}

// The start of a span of the given length around centre, moved back so that it ends at
// limit at the latest, and never before the screen's start.
int32_t PlaceSpan(int32_t centre, int32_t length, double limit, int32_t screenStart) {
  int32_t start = centre - DivInt32(length, 2);
  if (start + length > limit) start = RoundInt32(limit - length);
  return start < screenStart ? screenStart : start;
}
}  // namespace

std::optional<PixelPoint> MessageBoxCentre(const TwipsRect& owner, bool ownerMinimised,
                                           int32_t twipsPerPixel) {
  if (ownerMinimised) return std::nullopt;
  return PixelPoint{CentreOf(owner.left, owner.width, twipsPerPixel),
                    CentreOf(owner.top, owner.height, twipsPerPixel)};
}

PixelPoint PlaceMessageBox(PixelPoint centre, int32_t boxWidth, int32_t boxHeight,
                           const ScreenPixels& screen, int32_t twipsPerPixel) {
  Check(twipsPerPixel > 0, "twips per pixel");
  const double bottom =
      screen.top +
      (TwipsFromPixels(screen.height, twipsPerPixel) - kMessageBottomMarginTwips) / twipsPerPixel;
  const double right = static_cast<double>(screen.left) + screen.width;
  return PixelPoint{PlaceSpan(centre.x, boxWidth, right, screen.left),
                    PlaceSpan(centre.y, boxHeight, bottom, screen.top)};
}

}  // namespace ampora
