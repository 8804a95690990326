#include "controls/check_box.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "qt_test_helpers.h"

namespace ampora {
namespace {

Color Resolved(Color color) {
  return ResolveColor(color);
}

// A check box laid out at SizeRate 1 and 15 twips per pixel: a 16-pixel box.
UC_Check* Laid(UC_Check& check, int32_t heightPx, const std::string& caption) {
  check.resize(10, heightPx);
  check.SetFontSize(9);
  check.SetSizeRate(1);
  check.SetCaption(caption);
  return &check;
}

TEST(CheckBoxLayout, TheBoxIsSixteenPixelsAndTheWidthFollowsTheCaption) {
  UC_Check plain;
  Laid(plain, 17, "");  // 255 twips high
  EXPECT_EQ(plain.width(), 16) << "no caption: exactly the box";
  EXPECT_EQ(plain.height(), 17);
  // The box at the top (nearest(15) / 30 = 0): sunken, shadow above and left,
  // highlight below and right.
  EXPECT_EQ(plain.Picture().Pixel(0, 0), Resolved(kColorBtnShadow));
  EXPECT_EQ(plain.Picture().Pixel(8, 0), Resolved(kColorBtnShadow));
  EXPECT_EQ(plain.Picture().Pixel(0, 14), Resolved(kColorBtnShadow));
  EXPECT_EQ(plain.Picture().Pixel(15, 8), Resolved(kColor3DHighlight));
  EXPECT_EQ(plain.Picture().Pixel(8, 15), Resolved(kColor3DHighlight));
  EXPECT_EQ(plain.Picture().Pixel(0, 16), Resolved(kColorBtnFace)) << "below the box";

  UC_Check captioned;
  Laid(captioned, 17, "MIDIを使用する");
  const double captionWidth = captioned.Picture().TextWidth("MIDIを使用する");
  EXPECT_EQ(captioned.width(), PixelsFromTwips(240 + 60 + captionWidth));
  EXPECT_GT(InkedBox(captioned.Picture(), Resolved(kColorBtnFace)).right, 30)
      << "the caption is drawn right of the box";

  UC_Check low;
  Laid(low, 10, "");
  EXPECT_EQ(low.height(), 16) << "never lower than the box";
}

TEST(CheckBoxDrawing, TheTickIsOneClosedLineAndTheOptionADot) {
  struct Case {
    int32_t heightPx;
    int32_t boxTop;  // nearest(height - 240) / 30
  };
  for (const Case& c : {Case{17, 0}, Case{35, 9}}) {
    UC_Check check;
    Laid(check, c.heightPx, "");
    const Surface empty = check.Picture();
    check.SetValue(1);
    const Color ink = Resolved(kColorBtnText);
    // Corners (45, 105), (105, 165), (180, 45), (90, 135) twips: pixels (3, 7), (7, 11),
    // (12, 3), (6, 9).
    for (const auto& [x, y] :
         {std::pair{3, 7}, {5, 9}, {7, 11}, {9, 8}, {12, 3}, {9, 6}, {6, 9}, {4, 8}}) {
      EXPECT_EQ(check.Picture().Pixel(x, y + c.boxTop), ink) << x << "," << y;
    }
    EXPECT_EQ(check.Picture().Pixel(9, c.boxTop + 9), empty.Pixel(9, c.boxTop + 9))
        << "off the line";
    check.SetValue(2);
    EXPECT_EQ(check.Picture().Image(), empty.Image()) << "2 draws no tick";

    check.SetIsOption(1);
    check.SetValue(1);
    EXPECT_EQ(check.Picture().Pixel(7, c.boxTop + 7), ink) << "the dot's centre";
    EXPECT_EQ(check.Picture().Pixel(10, c.boxTop + 7), ink);
    EXPECT_NE(check.Picture().Pixel(7, c.boxTop + 1), ink);
  }
}

TEST(CheckBoxClicks, ValuesChangeByKindAndDisabledBoxesStayPut) {
  struct Case {
    int32_t isOption;
    int32_t before;
    bool enabled;
    int32_t after;
    int clicks;
  };
  const Case cases[] = {
      {0, 0, true, 1, 1}, {0, 1, true, 0, 1}, {0, 2, true, 1, 1},  {1, 0, true, 1, 1},
      {1, 1, true, 1, 1}, {1, 2, true, 2, 1}, {0, 0, false, 0, 0}, {1, 0, false, 0, 0},
  };
  for (const Case& c : cases) {
    UC_Check check;
    Laid(check, 17, "使う");
    check.SetIsOption(c.isOption);
    check.SetValue(c.before);
    check.SetEnabled(c.enabled);
    QSignalSpy click(&check, &UC_Check::Click);
    QTest::mouseClick(&check, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(check.Value(), c.after) << c.isOption << " " << c.before << " " << c.enabled;
    EXPECT_EQ(click.count(), c.clicks);
  }
  UC_Check check;
  Laid(check, 17, "使う");
  QTest::mousePress(&check, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::mouseRelease(&check, Qt::LeftButton, Qt::NoModifier, QPoint(5, 40));
  EXPECT_EQ(check.Value(), 0) << "let go outside the control";
}

TEST(CheckBoxDrawing, DisabledCaptionsAreGreyed) {
  UC_Check check;
  Laid(check, 17, "使用");
  // The caption, right of the box.
  auto darkest = [&] {
    return DarkestIn(check.Picture(), QRect(20, 0, check.width() - 20, check.height()));
  };
  const RgbParts shadow = SplitRGB(Resolved(kColorBtnShadow));
  const int32_t shadowSum = shadow.red + shadow.green + shadow.blue;
  EXPECT_LT(darkest(), shadowSum - 60) << "enabled: in the button text colour";
  check.SetEnabled(false);
  EXPECT_GE(darkest(), shadowSum) << "disabled: in the button shadow colour";
}

TEST(CheckBoxDrawing, TheBackgroundIsTheParentsPaintingAtTheControlsPlace) {
  // A parent surface whose every pixel tells its place.
  Surface parent(200, 100);
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 200; ++x) parent.SetPixel(x, y, Rgb(x, y, 77));
  }
  UC_Check check;
  check.SetBGPic(40 * 15, 30 * 15, &parent);
  Laid(check, 17, "");
  EXPECT_EQ(check.Picture().Pixel(0, 16), Rgb(40, 46, 77)) << "below the box";
  check.CloseBGObj();
  check.Draw();
  EXPECT_EQ(check.Picture().Pixel(0, 16), Resolved(kColorBtnFace)) << "without a source";
}

}  // namespace
}  // namespace ampora
