#include "windows/control_placement.h"

#include "util/twips.h"

namespace ampora {

void PlaceControl(QWidget& control, const QWidget& reference, int32_t placement, double gap,
                  int32_t alignMode, double alignValue) {
  if (gap == kTwoPixelGap) gap = TwipsFromPixels(2);
  const double left = TwipsLeft(reference);
  const double top = TwipsTop(reference);
  const double width = TwipsWidth(reference);
  const double height = TwipsHeight(reference);
  const auto align = [&](void (*set)(QWidget&, double), double fromReference) {
    if (alignMode == kAlignToReference) set(control, fromReference);
    if (alignMode == kAlignToValue) set(control, alignValue);
  };
  switch (placement) {
    case kPlaceBelow:
      SetTwipsTop(control, top + height + gap);
      align(SetTwipsLeft, left);
      break;
    case kPlaceRightOf:
      SetTwipsLeft(control, left + width + gap);
      align(SetTwipsTop, top);
      break;
    case kPlaceCentred:
      SetTwipsTop(control, top + height / 2 - TwipsHeight(control) / 2);
      align(SetTwipsLeft, left);
      break;
    case kPlaceRightAligned:
      SetTwipsLeft(control, left + width - TwipsWidth(control) + gap);
      align(SetTwipsTop, top + height + gap);
      break;
    default:
      break;
  }
}

}  // namespace ampora
