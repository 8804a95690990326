#include "controls/io_selector.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "qt_test_helpers.h"

namespace ampora {
namespace {

// 60 x 40 pixels at 15 twips: each half is 300 twips = 20 rows; the shading darkens by
// shading / 20 per row.
class IOSelectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    selector_.resize(60, 40);
    selector_.Init();
  }

  Color At(int32_t x, int32_t y) { return selector_.Picture().Pixel(x, y); }

  UC_IOSelector selector_;
};

TEST_F(IOSelectorTest, BothOffIsGreyFadingTo140WithLightAndDarkEdges) {
  selector_.DrawAll();
  for (const int32_t top : {0, 20}) {
    EXPECT_EQ(At(30, top), Rgb(240, 240, 240)) << "light top edge of the half at " << top;
    EXPECT_EQ(At(30, top + 1), Rgb(216, 216, 216));
    EXPECT_EQ(At(30, top + 5), Rgb(200, 200, 200));
    EXPECT_EQ(At(30, top + 18), Rgb(148, 148, 148));
    EXPECT_EQ(At(30, top + 19), Rgb(140, 140, 140)) << "dark bottom edge";
    EXPECT_EQ(At(0, top + 10), Rgb(240, 240, 240)) << "light left edge";
    EXPECT_EQ(At(59, top + 10), Rgb(140, 140, 140)) << "dark right edge";
  }
  EXPECT_EQ(At(0, 39), Rgb(140, 140, 140)) << "the bottom band is drawn after the left edge";
  EXPECT_EQ(At(59, 0), Rgb(140, 140, 140));
}

TEST_F(IOSelectorTest, OnHalvesTakeTheirSchemeColours) {
  selector_.SetState(0, 1);
  selector_.SetState(1, 1);
  selector_.DrawAll();
  EXPECT_EQ(At(30, 5), Rgb(205, 235, 190));
  EXPECT_EQ(At(30, 25), Rgb(235, 205, 190));
  EXPECT_EQ(At(0, 25), Rgb(255, 245, 230)) << "the light edge clamps at 255";

  // Scheme 1 shades by 110 over the half: 5.5 per row, so row 3 is 16.5 darker and
  // rounds half to even.
  selector_.SetColorType(1);
  selector_.SetState(1, 2);  // anything but 1 is off
  selector_.DrawAll();
  EXPECT_EQ(At(30, 3), Rgb(164, 204, 164));
  EXPECT_EQ(At(30, 19), Rgb(60, 100, 60)) << "edge 120 darker";
  EXPECT_EQ(At(30, 23), Rgb(204, 204, 204));

  selector_.SetColorType(7);  // no row of its own: drawn as scheme 0
  selector_.DrawAll();
  EXPECT_EQ(At(30, 5), Rgb(205, 235, 190));
}

TEST_F(IOSelectorTest, ChangesShowOnlyAfterDrawAll) {
  selector_.DrawAll();
  selector_.SetState(0, 1);
  selector_.SetText(0, "ON");
  EXPECT_EQ(At(3, 5), Rgb(200, 200, 200));
  selector_.DrawAll();
  EXPECT_EQ(At(3, 5), Rgb(205, 235, 190));
}

TEST_F(IOSelectorTest, CaptionIsCentredInItsHalfAndAnEmptyTextDrawsNone) {
  selector_.SetText(1, "出力");
  selector_.SetText(5, "ignored");
  selector_.DrawAll();
  auto captionPixels = [&](int32_t top) {
    int32_t count = 0;
    int32_t sumX = 0;
    for (int32_t y = top + 1; y < top + 19; ++y) {
      for (int32_t x = 1; x < 59; ++x) {
        const int32_t expected = 220 - 4 * (y - top);
        if (At(x, y) != Rgb(expected, expected, expected)) {
          ++count;
          sumX += x;
        }
      }
    }
    return std::pair(count, count > 0 ? sumX / count : -1);
  };
  EXPECT_EQ(captionPixels(0).first, 0) << "the upper half has no caption";
  const auto [count, meanX] = captionPixels(20);
  EXPECT_GT(count, 20);
  EXPECT_NEAR(meanX, 30, 3);
  // Antialiased strokes reach the caption colour, 220 - 120, and go no darker.
  int32_t darkest = 255;
  for (int32_t y = 21; y < 39; ++y) {
    for (int32_t x = 1; x < 59; ++x) darkest = std::min(darkest, SplitRGB(At(x, y)).red);
  }
  EXPECT_NEAR(darkest, 100, 12);
  EXPECT_GE(darkest, 100);
}

TEST_F(IOSelectorTest, ReleaseReportsTheHalfButtonAndShiftState) {
  QSignalSpy clicked(&selector_, &UC_IOSelector::Clicked);
  QTest::mouseClick(&selector_, Qt::LeftButton, Qt::NoModifier, QPoint(10, 19));
  QTest::mouseClick(&selector_, Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier,
                    QPoint(10, 20));
  QTest::mouseClick(&selector_, Qt::MiddleButton, Qt::AltModifier, QPoint(10, 39));
  ASSERT_EQ(clicked.count(), 3);
  EXPECT_EQ(SignalArgs(clicked, 0), std::vector<int>({0, 1, 0}));
  EXPECT_EQ(SignalArgs(clicked, 1), std::vector<int>({1, 2, 3}))
      << "exactly half the height is the lower half";
  EXPECT_EQ(SignalArgs(clicked, 2), std::vector<int>({1, 4, 4}));

  selector_.resize(60, 41);  // half is 20.5 rows
  QTest::mouseClick(&selector_, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
  QTest::mouseClick(&selector_, Qt::LeftButton, Qt::NoModifier, QPoint(10, 21));
  ASSERT_EQ(clicked.count(), 5);
  EXPECT_EQ(clicked[3][0].toInt(), 0);
  EXPECT_EQ(clicked[4][0].toInt(), 1);
}

TEST_F(IOSelectorTest, EveryMoveRaisesHover) {
  QSignalSpy hover(&selector_, &UC_IOSelector::Hover);
  MoveMouse(selector_, QPoint(5, 5));
  MoveMouse(selector_, QPoint(6, 5));
  MoveMouse(selector_, QPoint(6, 30));
  ASSERT_EQ(hover.count(), 3);
  EXPECT_EQ(hover[0][0].toInt(), 0);
  EXPECT_EQ(hover[1][0].toInt(), 0);
  EXPECT_EQ(hover[2][0].toInt(), 1);
}

}  // namespace
}  // namespace ampora
