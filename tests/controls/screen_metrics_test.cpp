#include "controls/screen_metrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ampora {
namespace {

TEST(ScreenMetrics, TwipsPerPixelIsNearestAndNeverZero) {
  struct Case {
    double dpi;
    int32_t twipsPerPixel;
  };
  const Case cases[] = {
      {96, 15},
      {120, 12},
      {144, 10},
      {2880, 1},  // 0.5 would round to 0
      {5760, 1},
      {std::numeric_limits<double>::infinity(), 1},
      {1, 1440},
      {0.5, 15},  // no real screen: the standard factor
      {0, 15},
      {-96, 15},
      {std::nan(""), 15},
  };
  for (const Case& c : cases) EXPECT_EQ(TwipsPerPixelForDpi(c.dpi), c.twipsPerPixel) << c.dpi;
}

TEST(ScreenMetrics, ImagesTakeTheResolutionOfTheScreenFactor) {
  EXPECT_EQ(DotsPerMeterFor(15), 3780);  // 96 dpi, 3779.53
  EXPECT_EQ(DotsPerMeterFor(12), 4724);  // 120 dpi, 4724.41
  EXPECT_EQ(DotsPerMeterFor(1), 56693);
}

}  // namespace
}  // namespace ampora
