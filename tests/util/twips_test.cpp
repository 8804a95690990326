#include "util/twips.h"

#include <gtest/gtest.h>

#include "util/error_trap.h"

namespace ampora {
namespace {

// One rule each way: a pixel length is twips times the screen's twips per pixel, and a
// twip position falls in the pixel of its nearest whole twip, integer-divided.
TEST(TwipsTest, ConversionsAtCommonScreenDensities) {
  struct Case {
    int32_t twipsPerPixel;
    double pixels;
    double twips;
    double twipPosition;
    int32_t pixel;
  };
  const Case cases[] = {
      {15, 4, 60, 60, 4},         // 96 dpi: exact both ways
      {15, 0.5, 7.5, 59.4, 3},    // half a pixel; 59 twips stay in pixel 3
      {15, -2, -30, -16, -1},     // integer division truncates towards zero
      {12, 10, 120, 119.5, 10},   // 120 dpi; 119.5 rounds to 120 (even)
      {10, 3, 30, 29.5, 3},       // 144 dpi; 29.5 rounds to 30 (even)
      {8, 1, 8, 8.5, 1},          // 180 dpi; 8.5 rounds to 8 (even)
      {1, 123, 123, 123.4, 123},  // one twip per pixel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.twipsPerPixel);
    EXPECT_EQ(TwipsFromPixels(c.pixels, c.twipsPerPixel), c.twips);
    EXPECT_EQ(PixelsFromTwips(c.twipPosition, c.twipsPerPixel), c.pixel);
  }
}

TEST(TwipsTest, WholePixelsSurviveTheRoundTrip) {
  for (const int32_t twipsPerPixel : {1, 8, 10, 12, 15, 20}) {
    for (const int32_t pixels : {0, 1, 7, 640, 4096, -33}) {
      EXPECT_EQ(PixelsFromTwips(TwipsFromPixels(pixels, twipsPerPixel), twipsPerPixel), pixels)
          << pixels << " px at " << twipsPerPixel;
    }
  }
}

TEST(TwipsTest, DefaultsToTheScreensDensity) {
  const int32_t saved = TwipsPerPixel;
  TwipsPerPixel = 12;
  EXPECT_EQ(TwipsFromPixels(5), 60.0);
  EXPECT_EQ(PixelsFromTwips(60), 5);
  TwipsPerPixel = saved;
}

TEST(TwipsTest, ZeroDensityAndHugePositionsRaise) {
  EXPECT_THROW(PixelsFromTwips(100, 0), RuntimeError);
  EXPECT_THROW(PixelsFromTwips(1e12, 15), RuntimeError);
}

}  // namespace
}  // namespace ampora
