#include "util/message_placement.h"

#include <gtest/gtest.h>

#include "util/error_trap.h"

namespace ampora {
namespace {

constexpr ScreenPixels kScreen{0, 0, 1920, 1080};

TEST(MessagePlacementTest, CentreIsTheOwnersMiddleInPixels) {
  // Owner 4800 x 3000 twips at (1500, 750) twips, 15 twips per pixel.
  const auto centre = MessageBoxCentre({1500, 750, 4800, 3000}, false, 15);
  ASSERT_TRUE(centre);
  EXPECT_EQ(centre->x, 260);  // (4800 \ 2 + 1500) \ 15
  EXPECT_EQ(centre->y, 150);  // (3000 \ 2 + 750) \ 15
  EXPECT_FALSE(MessageBoxCentre({1500, 750, 4800, 3000}, true, 15));
  EXPECT_THROW(MessageBoxCentre({0, 0, 100, 100}, false, 0), RuntimeError);
}

TEST(MessagePlacementTest, BoxIsCentredWhereItFits) {
  const PixelPoint place = PlaceMessageBox({960, 500}, 301, 121, kScreen, 15);
  EXPECT_EQ(place.x, 810);  // 960 - 301 \ 2
  EXPECT_EQ(place.y, 440);
}

TEST(MessagePlacementTest, BoxKeepsClearOfTheBottomAndInsideTheRightEdge) {
  // Bottom limit (1080 x 15 - 600) / 15 = 1040: 40 pixels clear of the bottom edge.
  PixelPoint place = PlaceMessageBox({1900, 1060}, 300, 120, kScreen, 15);
  EXPECT_EQ(place.y + 120, 1040);
  EXPECT_EQ(place.x + 300, 1920);
  // At 12 twips per pixel the margin is 50 pixels.
  place = PlaceMessageBox({960, 1060}, 300, 120, kScreen, 12);
  EXPECT_EQ(place.y + 120, 1030);
  // A fractional limit is rounded half to even: (1080 x 16 - 600) / 16 = 1042.5.
  place = PlaceMessageBox({960, 1060}, 300, 121, kScreen, 16);
  EXPECT_EQ(place.y, 922);  // nearest(921.5)
}

TEST(MessagePlacementTest, BoxNeverStartsBeforeTheScreen) {
  PixelPoint place = PlaceMessageBox({10, 5}, 300, 120, kScreen, 15);
  EXPECT_EQ(place.x, 0);
  EXPECT_EQ(place.y, 0);
  // A box taller than the screen keeps its top on the screen.
  place = PlaceMessageBox({960, 540}, 300, 2000, kScreen, 15);
  EXPECT_EQ(place.y, 0);
  // A second screen to the right keeps its own edges.
  place = PlaceMessageBox({1930, 1070}, 300, 120, {1920, 0, 1280, 1024}, 15);
  EXPECT_EQ(place.x, 1920);
  EXPECT_EQ(place.y + 120, 984);
}

}  // namespace
}  // namespace ampora
