#include "controls/color.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <cmath>
#include <limits>

#include "controls/color_scheme.h"
#include "controls/surface.h"
#include "qt_test_helpers.h"
#include "util/error_trap.h"

namespace ampora {
namespace {

TEST(ColorArithmetic, MakeRGBClampsAndSplitRGBTakesApart) {
  EXPECT_EQ(MakeRGB(300, -5, 128), Rgb(255, 0, 128));
  EXPECT_EQ(MakeRGB(0x12, 0x34, 0x56), 0x563412);
  const RgbParts parts = SplitRGB(0x563412);
  EXPECT_EQ(parts.red, 0x12);
  EXPECT_EQ(parts.green, 0x34);
  EXPECT_EQ(parts.blue, 0x56);
}

TEST(ColorArithmetic, AdjustColorAddsDeltasOrScalesInFourDecimals) {
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), 20, 20, 20, -1), Rgb(30, 220, 255));
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), 20, 20, 20, 0.5), Rgb(5, 100, 125));
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), -20, -20, -20), Rgb(0, 180, 230));
  // Products round half to even: 2.5 -> 2, 3.5 -> 4, 127.5 -> 128.
  EXPECT_EQ(AdjustColor(Rgb(5, 7, 255), 0, 0, 0, 0.5), Rgb(2, 4, 128));
  // The factor itself is taken to four decimals first: 0.49995 -> 0.5000, so white gives
  // 127.5 -> 128 where a plain double product would give 127.49 -> 127.
  EXPECT_EQ(AdjustColor(Rgb(255, 255, 255), 0, 0, 0, 0.49995), Rgb(128, 128, 128));
}

TEST(ColorArithmetic, AdjustColorTakesAbsurdArgumentsQuietly) {
  constexpr int32_t kFar = std::numeric_limits<int32_t>::max();
  constexpr int32_t kNear = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), kFar, kNear, kFar), Rgb(255, 0, 255));
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), 0, 0, 0, 1e300), 0) << "an error gives black";
  EXPECT_EQ(AdjustColor(Rgb(10, 200, 250), 0, 0, 0, std::nan("")), 0);
  ErrorCatch = 1;
  EXPECT_THROW(AdjustColor(Rgb(10, 200, 250), 0, 0, 0, 1e300), RuntimeError);
  ErrorCatch = 0;
}

TEST(ColorArithmetic, SystemColorsComeFromThePalette) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Button, QColor(100, 150, 200));
  palette.setColor(QPalette::Dark, QColor(90, 91, 92));
  palette.setColor(QPalette::Light, QColor(250, 251, 252));
  palette.setColor(QPalette::Shadow, QColor(10, 11, 12));
  const PaletteScope scope(palette);
  EXPECT_EQ(ResolveColor(kColorBtnFace), Rgb(100, 150, 200));
  EXPECT_EQ(ResolveColor(kColorBtnShadow), Rgb(90, 91, 92));
  EXPECT_EQ(ResolveColor(kColor3DHighlight), Rgb(250, 251, 252));
  EXPECT_EQ(ResolveColor(kColor3DDkShadow), Rgb(10, 11, 12));
  EXPECT_EQ(ResolveColor(Rgb(1, 2, 3)), Rgb(1, 2, 3));
  // AdjustColor works on the colour the system colour stands for.
  EXPECT_EQ(AdjustColor(kColorBtnShadow, 20, 20, 20), Rgb(110, 111, 112));
}

TEST(ToneColor, ScalesTheBaseToItsBrightnessAndKeepsIt) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Button, QColor(100, 150, 200));
  palette.setColor(QPalette::Dark, QColor(50, 50, 80));
  ToneCache cache;
  {
    const PaletteScope scope(palette);
    EXPECT_EQ(cache.Tone(0), Rgb(255, 255, 255));
    // Average 150: 200 / 150 x (100, 150, 200) = (133.3, 200, 266.7), clamped.
    EXPECT_EQ(cache.Tone(1), Rgb(133, 200, 255));
    // Average 60: 110 / 60 x (50, 50, 80) = (91.7, 91.7, 146.7).
    EXPECT_EQ(cache.Tone(2), Rgb(92, 92, 147));
    EXPECT_EQ(cache.Tone(3), Rgb(40, 60, 80));
  }
  // The palette is back to its old colours; the cache still answers the first ones.
  EXPECT_EQ(cache.Tone(1), Rgb(133, 200, 255));
  EXPECT_EQ(cache.Tone(4), 0);
  EXPECT_EQ(cache.Tone(-1), 0);
}

TEST(ColorScheme, SetsBackThenTextAndIgnoresUnknownNumbers) {
  Surface surface(4, 4);
  SetColorScheme(surface, 1);
  EXPECT_EQ(surface.BackColor(), Rgb(241, 255, 213));
  EXPECT_EQ(surface.ForeColor(), Rgb(96, 112, 64));
  EXPECT_EQ(surface.Pixel(3, 3), Rgb(241, 255, 213)) << "the back colour clears";
  SetColorScheme(surface, 0);
  EXPECT_EQ(surface.ForeColor(), kColorBtnFace) << "kept as a system colour";
  EXPECT_EQ(surface.BackColor(), Rgb(0, 0, 0));
  SetColorScheme(surface, -1, Rgb(1, 2, 3), Rgb(4, 5, 6));
  EXPECT_EQ(surface.ForeColor(), Rgb(1, 2, 3));
  EXPECT_EQ(surface.BackColor(), Rgb(4, 5, 6));
  SetColorScheme(surface, 7, Rgb(9, 9, 9), Rgb(9, 9, 9));
  EXPECT_EQ(surface.ForeColor(), Rgb(1, 2, 3));
  EXPECT_EQ(surface.BackColor(), Rgb(4, 5, 6));
}

}  // namespace
}  // namespace ampora
