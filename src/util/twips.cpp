#include "util/twips.h"

#include "util/rounding.h"

namespace ampora {

int32_t TwipsPerPixel = 15;

int32_t PixelsFromTwips(double twips, int32_t twipsPerPixel) {
  return DivInt32(RoundInt32(twips), twipsPerPixel);
}

double TwipsFromPixels(double pixels, int32_t twipsPerPixel) {
  return pixels * twipsPerPixel;
}

}  // namespace ampora
