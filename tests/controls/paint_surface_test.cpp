#include "controls/paint_surface.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QWidget>
#include <limits>
#include <tuple>

#include "controls/print_label.h"
#include "controls/shaded_outlines.h"
#include "controls/surface.h"
#include "qt_test_helpers.h"
#include "util/error_trap.h"
#include "util/twips.h"

namespace ampora {
namespace {

constexpr Color kBack = Rgb(1, 2, 3);

Surface Prepared(int32_t width, int32_t height) {
  Surface surface(width, height);
  surface.SetBackColor(kBack);
  return surface;
}

TEST(PaintSurfaceDiagonal, StepsOnePerAntiDiagonalOverWidthPlusHeightPlus20Twips) {
  // 100 x 40 pixels at 15 twips: n = (1500 + 600 + 20) / 15 = 141, so with red running
  // 0..141 each pixel's red is its diagonal number x + y.
  Surface s = Prepared(100, 40);
  PaintSurface(s, 2, Rgb(0, 0, 0), Rgb(141, 0, 255));
  EXPECT_EQ(SplitRGB(s.Pixel(0, 1)).red, 1);
  EXPECT_EQ(SplitRGB(s.Pixel(50, 20)).red, 70);
  EXPECT_EQ(s.Pixel(99, 39), Rgb(138, 0, 250));
  // A diagonal ends one pixel short of its point on the top row.
  EXPECT_EQ(s.Pixel(50, 0), kBack);
}

TEST(PaintSurfaceKnobFace, TenPixelKnobHasGradientRowsThenBottomBoxes) {
  const Color c1 = Rgb(240, 200, 160);
  const Color c2 = Rgb(120, 100, 80);
  const Color c3 = Rgb(30, 60, 90);
  const Color s0 = c1;
  const Color s1 = Rgb(198, 165, 132);
  const Color s6 = c3;
  const Color s7 = Rgb(20, 40, 59);
  const Color s8 = Rgb(10, 20, 30);
  Surface s = Prepared(20, 10);
  PaintSurface(s, 9, c1, c2, c3);
  // n = (10 - 3) / 2 = 3: rows 3..6 run c3 to c2, rows 6..9 c2 to c1, x from 2 to 16.
  EXPECT_EQ(s.Pixel(0, 0), s1) << "the back colour is s1";
  EXPECT_EQ(s.Pixel(10, 3), c3);
  EXPECT_EQ(s.Pixel(10, 4), Rgb(60, 73, 87));
  EXPECT_EQ(s.Pixel(1, 3), s1);
  EXPECT_EQ(s.Pixel(17, 3), s1);
  // Rows 5 to 9 are the bottom boxes.
  EXPECT_EQ(s.Pixel(10, 5), s0);
  EXPECT_EQ(s.Pixel(16, 6), s0);
  EXPECT_EQ(s.Pixel(17, 6), s1);
  EXPECT_EQ(s.Pixel(10, 7), s6);
  EXPECT_EQ(s.Pixel(1, 8), s6);
  EXPECT_EQ(s.Pixel(17, 8), s6);
  EXPECT_EQ(s.Pixel(18, 8), s1);
  EXPECT_EQ(s.Pixel(0, 9), s7);
  EXPECT_EQ(s.Pixel(18, 9), s7);
  EXPECT_EQ(s.Pixel(19, 9), s8);
  EXPECT_EQ(s.Pixel(19, 0), s8);
}

TEST(PaintSurfaceFrame, LightTopAndLeftDarkBottomAndRightWithDarkCorners) {
  const Color c1 = Rgb(200, 100, 50);
  const Color s8 = Rgb(30, 20, 10);  // 0.33 x (90, 60, 30)
  Surface s = Prepared(30, 20);
  PaintSurface(s, -1, c1, Rgb(7, 7, 7), Rgb(90, 60, 30));
  EXPECT_EQ(s.Pixel(0, 0), c1);
  EXPECT_EQ(s.Pixel(0, 18), c1);
  EXPECT_EQ(s.Pixel(28, 0), c1);
  EXPECT_EQ(s.Pixel(0, 19), s8);
  EXPECT_EQ(s.Pixel(29, 0), s8);
  EXPECT_EQ(s.Pixel(29, 19), s8);
  EXPECT_EQ(s.Pixel(15, 19), s8);
  EXPECT_EQ(s.Pixel(15, 10), kBack) << "style -1 draws nothing but the frame";
}

TEST(PaintSurfaceBands, TopAndBottomBandsLeaveTheMiddle) {
  const Color c1 = Rgb(0, 0, 0);
  const Color c2 = Rgb(200, 100, 20);
  const Color c3 = Rgb(0, 0, 220);
  Surface s = Prepared(40, 60);
  PaintSurface(s, 0, c1, c2, c3);
  EXPECT_EQ(s.Pixel(10, 5), Rgb(50, 25, 5));
  EXPECT_EQ(s.Pixel(10, 20), c2);
  EXPECT_EQ(s.Pixel(10, 30), kBack);
  EXPECT_EQ(s.Pixel(10, 45), Rgb(150, 75, 70));
  EXPECT_EQ(s.Pixel(10, 59), Rgb(0, 0, 73)) << "framed: s8 = 0.33 x c3";

  Surface narrow = Prepared(40, 60);
  PaintSurface(narrow, 10, c1, c2, c3);
  EXPECT_EQ(narrow.Pixel(10, 8), c2);
  EXPECT_EQ(narrow.Pixel(10, 10), kBack);
}

TEST(PaintSurfaceBevel, ThreePixelsLightAboveAndLeftDarkBelowAndRight) {
  Surface s = Prepared(10, 8);
  PaintSurface(s, 1, Rgb(240, 180, 120), Rgb(100, 80, 60), Rgb(60, 30, 0));
  EXPECT_EQ(s.Pixel(0, 0), Rgb(240, 180, 120));
  EXPECT_EQ(s.Pixel(3, 1), Rgb(191, 145, 99));  // s1
  EXPECT_EQ(s.Pixel(2, 4), Rgb(145, 112, 79));  // s2
  EXPECT_EQ(s.Pixel(7, 4), Rgb(86, 63, 40));    // s4
  EXPECT_EQ(s.Pixel(8, 4), Rgb(73, 46, 20));    // s5
  EXPECT_EQ(s.Pixel(9, 0), Rgb(60, 30, 0));     // s6
  EXPECT_EQ(s.Pixel(0, 7), Rgb(60, 30, 0));
  EXPECT_EQ(s.Pixel(5, 4), kBack);
  Surface framed = Prepared(10, 8);
  PaintSurface(framed, 11, Rgb(240, 180, 120), Rgb(100, 80, 60), Rgb(60, 30, 0));
  EXPECT_EQ(framed.Pixel(9, 0), Rgb(20, 10, 0)) << "the final frame's s8";
}

TEST(PaintSurfaceGradients, ColumnsAndMirrorsStepEachChannel) {
  const Color c2 = Rgb(200, 200, 200);
  const Color c3 = Rgb(100, 150, 0);
  Surface columns = Prepared(10, 4);
  PaintSurface(columns, 3, Rgb(0, 0, 0), c2, c3);
  EXPECT_EQ(columns.Pixel(0, 2), c2);
  EXPECT_EQ(columns.Pixel(4, 2), Rgb(160, 180, 120));
  PaintSurface(columns, 4, Rgb(0, 0, 0), c2, c3);
  EXPECT_EQ(columns.Pixel(0, 2), c3);
  EXPECT_EQ(columns.Pixel(4, 2), Rgb(140, 170, 80));

  // Vertical mirror, 20 rows: n = 10, c1 at row 0, c2 at row 10, c3 towards row 20.
  const Color m1 = Rgb(0, 0, 0);
  const Color m2 = Rgb(100, 100, 100);
  const Color m3 = Rgb(200, 0, 50);
  Surface vertical = Prepared(10, 20);
  PaintSurface(vertical, 5, m1, m2, m3);
  EXPECT_EQ(vertical.Pixel(3, 0), m1);
  EXPECT_EQ(vertical.Pixel(3, 4), Rgb(40, 40, 40));
  EXPECT_EQ(vertical.Pixel(3, 10), m2);
  EXPECT_EQ(vertical.Pixel(3, 19), Rgb(190, 10, 55));
  Surface horizontal = Prepared(20, 10);
  PaintSurface(horizontal, 6, m1, m2, m3);
  EXPECT_EQ(horizontal.Pixel(4, 3), Rgb(40, 40, 40));
  EXPECT_EQ(horizontal.Pixel(19, 3), Rgb(190, 10, 55));
  // A one-pixel surface still gets a step.
  Surface thin = Prepared(3, 1);
  PaintSurface(thin, 7, m1, m2, m3);
  EXPECT_NE(thin.Pixel(1, 0), kBack);
}

TEST(PaintSurfaceTexture, RowsFromTheTableInsideARaisedFrame) {
  const Color face = Rgb(200, 200, 200);
  Surface s = Prepared(30, 40);
  PaintSurface(s, 14, -1, face);
  EXPECT_EQ(s.Pixel(10, 5), Rgb(193, 193, 198));  // entry 5: (197, 196, 204)
  EXPECT_EQ(s.Pixel(0, 20), Rgb(255, 255, 255));
  EXPECT_EQ(s.Pixel(1, 20), Rgb(255, 255, 255));
  EXPECT_EQ(s.Pixel(10, 0), Rgb(255, 255, 255));
  EXPECT_EQ(s.Pixel(28, 20), Rgb(176, 176, 176));
  EXPECT_EQ(s.Pixel(29, 20), Rgb(96, 96, 96));
  EXPECT_EQ(s.Pixel(10, 38), Rgb(176, 176, 176));
  EXPECT_EQ(s.Pixel(10, 39), Rgb(96, 96, 96));

  Surface ends = Prepared(30, 40);
  PaintSurface(ends, 15, -1, face);
  EXPECT_EQ(ends.Pixel(10, 5), Rgb(226, 225, 231)) << "row 5 lifted by 3 x 15";
  EXPECT_EQ(ends.Pixel(10, 30), Rgb(182, 182, 185)) << "row 30 (entry 1) lowered by 30";
}

TEST(PaintSurfaceRound, PillowAndKnobStayInsideTheirRims) {
  Surface pillow = Prepared(60, 30);
  PaintSurface(pillow, 12, Rgb(255, 255, 255), Rgb(180, 180, 180), Rgb(90, 90, 90));
  EXPECT_EQ(pillow.Pixel(0, 0), kBack) << "circular corners leave the corner alone";
  EXPECT_NE(pillow.Pixel(30, 15), kBack);
  EXPECT_GT(SplitRGB(pillow.Pixel(30, 0)).red, 200) << "the rim starts white at the top";

  Surface knob = Prepared(40, 40);
  PaintSurface(knob, 13, Rgb(255, 255, 255), Rgb(180, 180, 180), Rgb(90, 90, 90));
  EXPECT_EQ(knob.Pixel(0, 0), kBack);
  EXPECT_EQ(knob.Pixel(39, 39), kBack);
  EXPECT_NE(knob.Pixel(20, 20), kBack);
  EXPECT_GT(SplitRGB(knob.Pixel(20, 2)).red, 200);
  // Radius and centre may be given: a small knob in the corner.
  Surface placed = Prepared(40, 40);
  PaintSurface(placed, 13, -1, -1, -1, 8, 10, 10);
  EXPECT_NE(placed.Pixel(10, 10), kBack);
  EXPECT_EQ(placed.Pixel(30, 30), kBack);
}

// The innermost rings of a pillow are only a few pixels high: drawn with no room for
// their corners they turned inside out into a bar across the middle, its dark colour above
// its light one, which struck the captions of pillow buttons through.
TEST(PaintSurfaceRound, PillowFacesShadeWithoutABarThroughTheMiddle) {
  for (int32_t height = 6; height <= 48; ++height) {
    Surface pillow = Prepared(120, height);
    PaintSurface(pillow, 12, Rgb(255, 255, 255), Rgb(180, 180, 180), Rgb(90, 90, 90));
    // Down the middle, inside the rim, the face darkens, or lightens only gently.
    int32_t above = SplitRGB(pillow.Pixel(60, 2)).red;
    for (int32_t y = 3; y < height - 3; ++y) {
      const int32_t red = SplitRGB(pillow.Pixel(60, y)).red;
      EXPECT_LE(red - above, 30) << "height " << height << ", row " << y;
      above = red;
    }
  }
}

TEST(ShadedOutlines, RingsWithoutRoomForTheirCornersAreNotDrawn) {
  const Color ink = Rgb(9, 9, 9);
  for (const auto& [y1, y2, drawn] : {std::tuple{5, 7, false}, std::tuple{5, 5, false},
                                      std::tuple{7, 5, false}, std::tuple{5, 8, true}}) {
    Surface s = Prepared(20, 14);
    DrawCurvedRing(s, 2, y1, 18, y2, ink, ink, 1);
    EXPECT_EQ(InkedBox(s, kBack).count > 0, drawn) << y1 << ".." << y2;
  }
}

TEST(PaintSurfaceDefaults, MinusOneColoursAreTheTones) {
  Surface s = Prepared(5, 5);
  PaintSurface(s, -2);
  EXPECT_EQ(s.BackColor(), ToneColor(1));
  EXPECT_EQ(s.Pixel(4, 4), ToneColor(1));
  PaintSurface(s, 99);
  EXPECT_EQ(s.Pixel(4, 4), ToneColor(1)) << "unknown styles draw nothing";
}

TEST(PaintSurfaceErrors, ARunTimeErrorEndsThePaintingQuietlyUnlessErrorCatchIsOn) {
  Surface s = Prepared(10, 10);
  TwipsPerPixel = 0;
  PaintSurface(s, 0, Rgb(9, 9, 9), Rgb(9, 9, 9), Rgb(9, 9, 9));
  EXPECT_EQ(s.Pixel(5, 0), kBack);
  ErrorCatch = 1;
  EXPECT_THROW(PaintSurface(s, 0), RuntimeError);
  ErrorCatch = 0;
  TwipsPerPixel = 15;
}

TEST(ShadedOutlines, CornersAtTheEndsOfTheIntegerRangeEndTheDrawingQuietly) {
  constexpr int32_t kFar = std::numeric_limits<int32_t>::max();
  constexpr int32_t kNear = std::numeric_limits<int32_t>::min();
  Surface s = Prepared(20, 20);
  // Spans that overflow 32 bits are errors; spans that fit give points far outside the
  // image, whose lines are cut to it.
  DrawCurvedRing(s, kNear, kNear, kFar, kFar, Rgb(9, 9, 9), Rgb(9, 9, 9), 1);
  DrawShadedCircle(s, kNear, kNear, kFar, kFar, Rgb(9, 9, 9), Rgb(9, 9, 9), 2, 0);
  DrawShadedCircle(s, kFar, 0, kFar, 10, Rgb(9, 9, 9), Rgb(9, 9, 9), 1, 1);
  EXPECT_EQ(s.Pixel(10, 10), kBack);
  DrawCurvedRing(s, -kFar / 2, -1000, kFar / 2, kFar / 2, Rgb(9, 9, 9), Rgb(9, 9, 9), 1);
  DrawShadedCircle(s, -kFar / 4, -kFar / 4, kFar / 4, kFar / 4, Rgb(9, 9, 9), Rgb(9, 9, 9), 1, 1);
  ErrorCatch = 1;
  EXPECT_THROW(DrawShadedCircle(s, 0, kNear, 0, kFar, 0, 0, 1, 0), RuntimeError);
  ErrorCatch = 0;
}

TEST(PaintFramed, GradientInsideARaisedFrameOfTheGivenWidth) {
  const Color light = Rgb(144, 144, 176);
  const Color dark = Rgb(0, 0, 0);
  Surface s = Prepared(20, 10);
  PaintFramed(s, Rgb(0, 0, 0), Rgb(104, 104, 136), 0, 2);
  EXPECT_EQ(s.Pixel(0, 5), light);
  EXPECT_EQ(s.Pixel(1, 5), light);
  EXPECT_EQ(s.Pixel(5, 0), light);
  EXPECT_EQ(s.Pixel(19, 5), dark);
  EXPECT_EQ(s.Pixel(18, 5), dark);
  EXPECT_EQ(s.Pixel(5, 9), dark);
  EXPECT_EQ(s.Pixel(19, 0), dark);
  EXPECT_EQ(s.Pixel(0, 9), dark);
  // Inside: diagonal 15 of n = (300 + 150 + 20) / 15 = 31.
  EXPECT_EQ(s.Pixel(10, 5), Rgb(50, 50, 66));

  Surface plain = Prepared(20, 10);
  PaintFramed(plain, Rgb(0, 0, 0), Rgb(104, 104, 136), 1, 1);
  EXPECT_EQ(plain.Pixel(10, 5), kBack);
  EXPECT_EQ(plain.Pixel(1, 5), kBack);
  EXPECT_EQ(plain.Pixel(0, 5), light);
}

TEST(PrintLabel, PlacesTheCaptionBesideTheControl) {
  QWidget control;
  control.setGeometry(60, 50, 80, 20);
  QFont font("IPAPGothic");
  font.setPixelSize(12);
  const std::string text = "ラベル";

  Surface above = Prepared(200, 100);
  above.SetFont(font);
  PrintLabel(above, control, text, 3);
  const InkBox centred = InkedBox(above, kBack);
  ASSERT_GE(centred.right, 0);
  EXPECT_NEAR((centred.left + centred.right) / 2.0, 100, 2) << "centred over the control";
  EXPECT_LT(centred.bottom, 48) << "its cell ends 30 twips above the control";

  Surface left = Prepared(200, 100);
  left.SetFont(font);
  PrintLabel(left, control, text, 0);
  const InkBox beside = InkedBox(left, kBack);
  EXPECT_LT(beside.right, 54) << "90 twips of air to the control's left edge";
  EXPECT_GE(beside.top, 54) << "60 twips below the control's top";

  Surface below = Prepared(200, 100);
  below.SetFont(font);
  PrintLabel(below, control, text, 5, 15, 0);
  EXPECT_LE(InkedBox(below, kBack).right, 140) << "right edge flush with the control, moved by dx";
  EXPECT_GE(InkedBox(below, kBack).top, 72);
}

}  // namespace
}  // namespace ampora
