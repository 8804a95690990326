#include "controls/surface.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "controls/shaded_outlines.h"
#include "qt_test_helpers.h"
#include "util/twips.h"

namespace ampora {
namespace {

constexpr Color kPaper = Rgb(255, 255, 255);
constexpr Color kInk = Rgb(10, 20, 30);

Surface Blank(int32_t width, int32_t height) {
  Surface surface(width, height);
  surface.SetBackColor(kPaper);
  return surface;
}

// Pixels of one row (or column) that are not paper, as "x" and ".".
std::string Row(const Surface& s, int32_t y) {
  std::string row;
  for (int32_t x = 0; x < s.WidthPx(); ++x) row += s.Pixel(x, y) == kPaper ? '.' : 'x';
  return row;
}

std::string Column(const Surface& s, int32_t x) {
  std::string column;
  for (int32_t y = 0; y < s.HeightPx(); ++y) column += s.Pixel(x, y) == kPaper ? '.' : 'x';
  return column;
}

TEST(SurfacePixelRules, LinesStopOnePixelShortAndBoxesCoverBothCorners) {
  const double t = TwipsPerPixel;
  Surface s = Blank(8, 8);
  s.Line(1 * t, 0, 5 * t, 0, kInk);
  s.Line(6 * t, 1 * t, 2 * t, 1 * t, kInk);  // drawn right to left: 6 in, 2 out
  s.Line(0, 2 * t, 0, 6 * t, kInk);
  s.Line(3 * t, 3 * t, 3 * t, 3 * t, kInk);  // no length, no pixel
  EXPECT_EQ(Row(s, 0), ".xxxx...");
  EXPECT_EQ(Row(s, 1), "...xxxx.");
  EXPECT_EQ(Column(s, 0), "..xxxx..");
  EXPECT_EQ(s.Pixel(3, 3), kPaper);

  Surface diagonal = Blank(5, 5);
  diagonal.Line(0, 4 * t, 4 * t, 0, kInk);
  EXPECT_EQ(Row(diagonal, 4), "x....");
  EXPECT_EQ(Row(diagonal, 1), "...x.");
  EXPECT_EQ(Row(diagonal, 0), ".....") << "the end point (4, 0) is left out";

  Surface box = Blank(6, 4);
  box.Box(4 * t, 2 * t, 1 * t, 1 * t, kInk);
  EXPECT_EQ(Row(box, 0), "......");
  EXPECT_EQ(Row(box, 1), ".xxxx.");
  EXPECT_EQ(Row(box, 2), ".xxxx.");
  EXPECT_EQ(Row(box, 3), "......");
}

TEST(SurfacePixelRules, TwipsBecomeNearestTwipsDividedByTheScreenFactor) {
  Surface s = Blank(4, 1);
  s.Box(29, 0, 29, 0, kInk);      // 29 / 15 -> pixel 1
  s.Box(44.5, 0, 44.5, 0, kInk);  // nearest 44 (ties to even) -> pixel 2
  s.Box(-7, 0, -7, 0, kInk);      // truncated towards zero: pixel 0
  EXPECT_EQ(Row(s, 0), "xxx.");
  EXPECT_EQ(PixelsFromTwips(22.5), 1);
  EXPECT_EQ(PixelsFromTwips(7.5), 0);
  EXPECT_EQ(s.ScaleWidth(), 4 * TwipsPerPixel);
}

TEST(SurfacePixelRules, WidePensDrawBothEnds) {
  Surface s = Blank(12, 5);
  s.SetForeColor(kInk);
  s.SetDrawWidth(3);
  s.MoveTo(2, 2);
  s.LineTo(9, 2);
  EXPECT_EQ(s.Pixel(2, 2), kInk);
  EXPECT_EQ(s.Pixel(9, 2), kInk);
  EXPECT_EQ(s.Pixel(0, 2), kPaper);
  EXPECT_EQ(s.Pixel(11, 2), kPaper);
  EXPECT_EQ(s.Pixel(5, 1), kInk);
  EXPECT_EQ(s.Pixel(5, 3), kInk);
  EXPECT_EQ(s.Pixel(5, 0), kPaper);
}

TEST(SurfacePixelRules, DrawingOutsideTheImageIsClippedAndReadsGiveMinusOne) {
  Surface s = Blank(3, 3);
  s.Line(-50 * TwipsPerPixel, 1 * TwipsPerPixel, 50 * TwipsPerPixel, 1 * TwipsPerPixel, kInk);
  s.Box(-10, -10, 1e6, -1, kInk);
  s.SetPixel(7, 7, kInk);
  s.MoveTo(-20, -30);
  s.LineTo(40, 25);
  EXPECT_EQ(Row(s, 1), "xxx");
  EXPECT_EQ(s.Pixel(3, 0), -1);
  EXPECT_EQ(s.Pixel(-1, 0), -1);
}

// The pixels of a thin line by the plain walk over every step, as the surface drew them
// before it learned to skip the steps outside the image.
std::vector<std::pair<int32_t, int32_t>> WalkedPixels(int32_t x1, int32_t y1, int32_t x2,
                                                      int32_t y2) {
  std::vector<std::pair<int32_t, int32_t>> pixels;
  const int32_t dx = std::abs(x2 - x1);
  const int32_t dy = -std::abs(y2 - y1);
  int32_t error = dx + dy;
  for (int32_t x = x1, y = y1; x != x2 || y != y2;) {
    pixels.emplace_back(x, y);
    const int32_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += x1 < x2 ? 1 : -1;
    }
    if (twice <= dx) {
      error += dx;
      y += y1 < y2 ? 1 : -1;
    }
  }
  return pixels;
}

TEST(SurfaceLongLines, StartingTheWalkInsideTheImageKeepsEveryPixel) {
  // Lines from anywhere around a 13 x 9 image, many of them crossing it at a slant.
  uint32_t seed = 7;
  auto next = [&seed](int32_t span) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(2 * span + 1)) - span;
  };
  for (int trial = 0; trial < 3000; ++trial) {
    const int32_t x1 = next(60), y1 = next(60), x2 = next(60), y2 = next(60);
    Surface drawn = Blank(13, 9);
    drawn.SetForeColor(kInk);
    drawn.MoveTo(x1, y1);
    drawn.LineTo(x2, y2);
    Surface walked = Blank(13, 9);
    for (const auto& [x, y] : WalkedPixels(x1, y1, x2, y2)) walked.SetPixel(x, y, kInk);
    ASSERT_EQ(drawn.Image(), walked.Image())
        << "line " << x1 << "," << y1 << " to " << x2 << "," << y2;
  }
}

TEST(SurfaceLongLines, EndPointsAtTheEdgesOfTheIntegerRangeDrawAtOnce) {
  // Walking these step by step would take billions of steps.
  constexpr int32_t kFar = std::numeric_limits<int32_t>::max();
  constexpr int32_t kNear = std::numeric_limits<int32_t>::min();
  Surface s = Blank(5, 5);
  s.SetForeColor(kInk);
  s.MoveTo(kNear, 2);
  s.LineTo(kFar, 2);
  EXPECT_EQ(Row(s, 2), "xxxxx");
  s.MoveTo(kNear, kNear);
  s.LineTo(kFar, kFar);
  EXPECT_EQ(s.Pixel(3, 3), kInk) << "the diagonal through the origin";
  s.SetDrawWidth(3);
  s.MoveTo(2, kFar);
  s.LineTo(2, kNear);
  EXPECT_EQ(Column(s, 2), "xxxxx");
  EXPECT_EQ(s.Pixel(4, 0), kPaper) << "a wide pen keeps its width where it is cut";
}

TEST(SurfaceBackColor, SettingItClearsAndResizingKeepsTheTopLeft) {
  Surface s(3, 2);
  s.SetBackColor(Rgb(1, 2, 3));
  EXPECT_EQ(s.Pixel(2, 1), Rgb(1, 2, 3));
  s.SetPixel(0, 0, kInk);
  s.SetBackColor(Rgb(7, 8, 9));
  EXPECT_EQ(s.Pixel(0, 0), Rgb(7, 8, 9));
  s.SetPixel(2, 1, kInk);
  s.Resize(5, 4);
  EXPECT_EQ(s.Pixel(2, 1), kInk);
  EXPECT_EQ(s.Pixel(4, 3), Rgb(7, 8, 9));
  s.Resize(-4, 2);
  EXPECT_EQ(s.WidthPx(), 0);
  s.Line(0, 0, 100, 0, kInk);  // nothing to draw on, nothing happens
}

// The icon technique: AND with the mask (white = keep, black = clear), then XOR the image
// (black = keep, colour = paint).
TEST(SurfaceCopies, MaskAndImageCopiesPutAnIconOnAnyBackground) {
  const Color face = Rgb(200, 150, 100);
  const Color icon = Rgb(30, 200, 60);
  Surface strip(2, 2);
  strip.SetPixel(0, 0, icon);
  strip.SetPixel(1, 0, Rgb(0, 0, 0));
  strip.SetPixel(0, 1, Rgb(0, 0, 0));
  strip.SetPixel(1, 1, Rgb(255, 255, 255));
  Surface target(4, 1);
  target.SetBackColor(face);
  target.Copy(1, 0, 2, 1, strip, 0, 1, Surface::CopyMode::kAnd);
  target.Copy(1, 0, 2, 1, strip, 0, 0, Surface::CopyMode::kInvert);
  EXPECT_EQ(target.Pixel(0, 0), face);
  EXPECT_EQ(target.Pixel(1, 0), icon);
  EXPECT_EQ(target.Pixel(2, 0), face);
  EXPECT_EQ(target.Pixel(3, 0), face);
}

TEST(SurfaceCopies, SourceCopiesClipAndMayOverlapThemselves) {
  Surface s = Blank(5, 1);
  for (int32_t x = 0; x < 5; ++x) s.SetPixel(x, 0, Rgb(x, 0, 0));
  s.Copy(1, 0, 4, 1, s, 0, 0);  // shift right by one within the same surface
  EXPECT_EQ(s.Pixel(1, 0), Rgb(0, 0, 0));
  EXPECT_EQ(s.Pixel(4, 0), Rgb(3, 0, 0));
  Surface other = Blank(3, 3);
  other.Copy(-2, 0, 10, 10, s, 0, 0);  // source columns 2..4 land on 0..2
  other.Copy(2, 2, 10, 10, s, -3, 0);  // the source begins outside: nothing to copy
  other.Copy(0, 1, 3, 3, s, 7, 7);
  EXPECT_EQ(other.Pixel(0, 0), Rgb(1, 0, 0));
  EXPECT_EQ(other.Pixel(2, 0), Rgb(3, 0, 0));
  EXPECT_EQ(other.Pixel(2, 2), kPaper);
  EXPECT_EQ(other.Pixel(0, 1), kPaper);
}

TEST(SurfaceEdges, SunkenEdgeIsShadowOverHighlightOutsideAndDarkOverLightInside) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Dark, QColor(128, 128, 128));
  palette.setColor(QPalette::Light, QColor(255, 255, 255));
  palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
  palette.setColor(QPalette::Midlight, QColor(220, 220, 220));
  Surface s = Blank(6, 5);
  {
    const PaletteScope scope(palette);
    s.SetBackColor(Rgb(50, 60, 70));
    s.DrawSunkenEdge(0, 0, 6, 5);
  }
  EXPECT_EQ(s.Pixel(0, 0), Rgb(128, 128, 128));
  EXPECT_EQ(s.Pixel(4, 0), Rgb(128, 128, 128));
  EXPECT_EQ(s.Pixel(5, 0), Rgb(255, 255, 255)) << "top-right corner belongs to the light side";
  EXPECT_EQ(s.Pixel(0, 4), Rgb(255, 255, 255)) << "bottom-left corner too";
  EXPECT_EQ(s.Pixel(5, 4), Rgb(255, 255, 255));
  EXPECT_EQ(s.Pixel(1, 1), Rgb(0, 0, 0));
  EXPECT_EQ(s.Pixel(3, 1), Rgb(0, 0, 0));
  EXPECT_EQ(s.Pixel(4, 1), Rgb(220, 220, 220));
  EXPECT_EQ(s.Pixel(1, 3), Rgb(220, 220, 220));
  EXPECT_EQ(s.Pixel(2, 2), Rgb(50, 60, 70));
}

TEST(SurfaceText, PrintsInTheForeColourBelowTheCurrentPositionAndMoves) {
  Surface s = Blank(120, 40);
  QFont font("IPAPGothic");
  font.setPixelSize(12);
  s.SetFont(font);
  s.SetForeColor(Rgb(0, 0, 0));
  const double t = TwipsPerPixel;
  s.SetPrintPosition(10 * t, 5 * t);
  const double height = s.TextHeight("漢");
  s.Print("漢字");
  EXPECT_GT(s.TextWidth("漢字"), s.TextWidth("漢"));
  EXPECT_GE(height, 12 * t);
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 5 * t + height);
  const InkBox ink = InkedBox(s, kPaper);
  EXPECT_GT(ink.count, 20) << "the Japanese glyphs were drawn, not left out";
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LT(ink.top, 5 + 12);
}

// Far-out drawing. Along one axis every coordinate of a primitive lies beyond the same
// side of the image (by more than any pen, disc or text reaches), or anywhere in the
// range the primitive takes: near the image, far from it or at the ends of the range.
class FarCoordinates {
 public:
  static constexpr int64_t kBeyond = 1000;

  explicit FarCoordinates(uint32_t seed) : rng_(seed) {}

  int32_t Between(int64_t low, int64_t high) {
    return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(low, high)(rng_));
  }
  int32_t Anywhere(int64_t limit) {
    switch (rng_() % 4) {
      case 0:
        return Between(-8, 16);
      case 1:
        return Between(-100000, 100000);
      case 2:
        return Between(-limit - 1, limit);
      default:
        return rng_() % 2 == 0 ? static_cast<int32_t>(-limit - 1) : static_cast<int32_t>(limit);
    }
  }
  int32_t Beyond(bool low, int32_t size, int64_t limit) {
    return low ? Between(-limit - 1, -kBeyond) : Between(size + kBeyond, limit);
  }
  std::mt19937& Rng() { return rng_; }

 private:
  std::mt19937 rng_;
};

constexpr int kPrimitives = 11;
// The outlines take their radius from their height, so only their height keeps them
// beyond a side.
bool OutlineOnly(int primitive) {
  return primitive >= 9;
}

// One primitive with its coordinates (pixels) from x() and y(); primitives in twips get
// them multiplied, so their range is that much smaller.
template <class X, class Y>
void DrawPrimitive(Surface& s, int primitive, X x, Y y, FarCoordinates& far) {
  const double t = TwipsPerPixel;
  std::mt19937& rng = far.Rng();
  const int32_t pen = 1 + static_cast<int32_t>(rng() % 9);
  switch (primitive) {
    case 0:
      s.SetDrawWidth(pen);
      s.Line(x() * t, y() * t, x() * t, y() * t, kInk);
      break;
    case 1:
      s.Box(x() * t, y() * t, x() * t, y() * t, kInk);
      break;
    case 2:
      s.Disc(x() * t, y() * t, static_cast<double>(rng() % 500) * t, kInk);
      break;
    case 3:
      s.SetPrintPosition(x() * t, y() * t);
      s.Print("漢字 text");
      break;
    case 4:
      s.SetDrawWidth(pen);
      s.MoveTo(x(), y());
      s.LineTo(x(), y());
      break;
    case 5:
      s.FillPx(x(), y(), x(), y(), kInk);
      break;
    case 6:
      s.SetPixel(x(), y(), kInk);
      break;
    case 7: {
      Surface source(1 + static_cast<int32_t>(rng() % 40), 1 + static_cast<int32_t>(rng() % 40));
      source.SetBackColor(kInk);
      const int32_t left = x();
      const int32_t top = y();
      s.Copy(left, top, far.Between(0, 500), far.Between(0, 500), source,
             far.Anywhere(std::numeric_limits<int32_t>::max()),
             far.Anywhere(std::numeric_limits<int32_t>::max()));
      break;
    }
    case 8:
      s.DrawSunkenEdge(x(), y(), x(), y());
      break;
    case 9:
      DrawCurvedRing(s, x(), y(), x(), y(), kInk, kInk, 1 + pen % 3);
      break;
    default:
      DrawShadedCircle(s, x(), y(), x(), y(), kInk, kInk, 1 + pen % 3, pen % 2);
      break;
  }
}

int64_t CoordinateLimit(int primitive) {
  const bool twips = primitive <= 3;
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  return twips ? kMax / 16 : kMax;
}

TEST(SurfaceFarOut, PrimitivesWhollyBesideTheImageDrawNothing) {
  Surface small = Blank(3, 3);
  small.Box(150, 0, 300, 0, kInk);  // a box right of the image, in twips
  EXPECT_EQ(InkedBox(small, kPaper).count, 0);

  FarCoordinates far(20240611);
  for (int trial = 0; trial < 20000; ++trial) {
    const int primitive = trial % kPrimitives;
    Surface s = Blank(far.Between(0, 6), far.Between(0, 6));
    const int64_t limit = CoordinateLimit(primitive);
    const bool beyondOnX = !OutlineOnly(primitive) && far.Rng()() % 2 == 0;
    const bool low = far.Rng()() % 2 == 0;
    auto x = [&] { return beyondOnX ? far.Beyond(low, s.WidthPx(), limit) : far.Anywhere(limit); };
    auto y = [&] { return beyondOnX ? far.Anywhere(limit) : far.Beyond(low, s.HeightPx(), limit); };
    DrawPrimitive(s, primitive, x, y, far);
    ASSERT_EQ(InkedBox(s, kPaper).count, 0)
        << "primitive " << primitive << (beyondOnX ? " beyond x" : " beyond y")
        << (low ? " low" : " high") << ", trial " << trial;
  }
}

// For the sanitizer builds: every primitive anywhere, the memory outside the image is
// never touched.
TEST(SurfaceFarOut, PrimitivesAnywhereStayInsideTheImage) {
  FarCoordinates far(7);
  for (int trial = 0; trial < 20000; ++trial) {
    const int primitive = trial % kPrimitives;
    Surface s = Blank(far.Between(0, 6), far.Between(0, 6));
    const int64_t limit = CoordinateLimit(primitive);
    auto anywhere = [&] { return far.Anywhere(limit); };
    DrawPrimitive(s, primitive, anywhere, anywhere, far);
    ASSERT_LE(s.WidthPx(), 6);
  }
}

}  // namespace
}  // namespace ampora
