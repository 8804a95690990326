#include "controls/tuner_display.h"

#include <gtest/gtest.h>

#include <iostream>
#include <utility>

#include "controls/ui_fonts.h"
#include "util/twips.h"

namespace ampora {
namespace {

constexpr Color kBack = Rgb(0, 0, 0);

// The display at its width in the program's face, with the tuner font.
class TunerDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseUiFonts();
    ChooseUiFace();
    picture_.SetBackColor(kBack);
    fontSize_ = ApplyTunerFont(picture_);
  }
  void TearDown() override {
    ReleaseUiFonts();
    UiFaceName.clear();
  }

  int32_t BarRow() const { return PixelsFromTwips(picture_.TextHeight("I") + 90 + 45); }
  // The bar row as text: n = normal colour, h = highlight, . = background.
  std::string BarRowText() const {
    std::string row;
    for (int32_t x = 0; x < picture_.WidthPx(); ++x) {
      const Color c = picture_.Pixel(x, BarRow());
      row += c == kTunerNormal ? 'n' : c == kTunerHighlight ? 'h' : c == kBack ? '.' : '?';
    }
    return row;
  }

  Surface picture_{PixelsFromTwips(kTunerDisplayWidth), 40};
  int32_t fontSize_ = 0;
};

TEST_F(TunerDisplayTest, FontIsTheLargestSizeWhoseLabelsFitTheWidth) {
  const double width = TunerLabelRowWidth(picture_);
  std::cout << "tuner font: " << picture_.Font().family().toStdString() << " " << fontSize_
            << " pt, labels " << width << " of " << kTunerDisplayWidth << " twips\n";
  EXPECT_LE(width, kTunerDisplayWidth);
  if (fontSize_ < 9) {
    Surface larger(1, 1);
    ApplyUiFont(&larger, -2, {}, static_cast<float>(fontSize_ + 1));
    EXPECT_GT(TunerLabelRowWidth(larger), kTunerDisplayWidth);
  }
}

// Glyph edges blend with the background, but only the highlight colour has a green
// channel above 128: such pixels mark the highlighted label.
TEST_F(TunerDisplayTest, OnlyTheFoundLabelIsHighlighted) {
  const auto brightColumns = [&](int32_t* first, int32_t* last) {
    *first = picture_.WidthPx();
    *last = -1;
    for (int32_t y = 0; y < BarRow() - 3; ++y) {
      for (int32_t x = 0; x < picture_.WidthPx(); ++x) {
        if (((picture_.Pixel(x, y) >> 8) & 255) <= 128) continue;
        *first = std::min(*first, x);
        *last = std::max(*last, x);
      }
    }
  };
  for (const int32_t found : {38, 0, 47, 22}) {
    DrawTuner(picture_, TunerReading{found, 0, 0});
    double left = 0;
    for (int32_t p = 0; p < found; ++p) left += picture_.TextWidth(TunerLabel(p));
    const double right = left + picture_.TextWidth(TunerLabel(found));
    int32_t first = 0, last = 0;
    brightColumns(&first, &last);
    EXPECT_GE(first, PixelsFromTwips(left)) << "found " << found;
    EXPECT_LT(last, PixelsFromTwips(right)) << "found " << found;
  }

  DrawTuner(picture_, TunerReading{-1, 0, 0});
  int32_t first = 0, last = 0;
  brightColumns(&first, &last);
  EXPECT_EQ(last, -1) << "no pitch found, nothing highlighted";
}

TEST_F(TunerDisplayTest, LevelBarAndHoldMark) {
  struct Case {
    double peak, hold;
    int32_t barEnd, holdStart, holdEnd;  // pixel columns, both ends drawn
  };
  // 5000 twips is full scale: column 333; the end mark covers 5000..5030, columns 333..335.
  const Case cases[] = {
      {0, 0, 0, 0, 2},                 // silence: a bar of no length, the mark at 0
      {16383.5, 6553.4, 166, 66, 68},  // half scale, hold at a fifth (1000 twips)
      {32767, 32767, 333, 333, 335},   // full scale
      {65534, 40000, 333, 333, 335},   // louder than full scale stops at the end mark
  };
  for (const Case& c : cases) {
    DrawTuner(picture_, TunerReading{-1, c.peak, c.hold});
    std::string expected(static_cast<size_t>(picture_.WidthPx()), '.');
    for (int32_t x = 0; x <= c.barEnd; ++x) expected[static_cast<size_t>(x)] = 'n';
    for (int32_t x = 333; x <= 335; ++x) expected[static_cast<size_t>(x)] = 'n';
    for (int32_t x = c.holdStart; x <= c.holdEnd; ++x) expected[static_cast<size_t>(x)] = 'h';
    EXPECT_EQ(BarRowText(), expected) << "peak " << c.peak << " hold " << c.hold;
  }
}

TEST_F(TunerDisplayTest, EveryAnalysisRedrawsTheWholeDisplay) {
  DrawTuner(picture_, TunerReading{38, 32767, 32767});
  DrawTuner(picture_, TunerReading{-1, 0, 0});
  const std::string row = BarRowText();
  EXPECT_EQ(row.find_first_not_of('.', 3), 333u) << "no trace of the earlier bar: " << row;
}

// The note picture in the program's face.
class TunerNoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseUiFonts();
    ChooseUiFace();
    picture_.SetBackColor(kBack);
  }
  void TearDown() override {
    ReleaseUiFonts();
    UiFaceName.clear();
  }

  // The columns of a pixel row that show the highlight colour, first and last; -1, -1
  // when none does.
  std::pair<int32_t, int32_t> Highlighted(int32_t y) const {
    std::pair<int32_t, int32_t> span{-1, -1};
    for (int32_t x = 0; x < picture_.WidthPx(); ++x) {
      if (picture_.Pixel(x, y) != kTunerHighlight) continue;
      if (span.first < 0) span.first = x;
      span.second = x;
    }
    return span;
  }

  Surface picture_{PixelsFromTwips(kTunerNoteWidth), PixelsFromTwips(kTunerNoteHeight)};
};

// Near the top, above the scale's line, only the needle is drawn: it stands where the
// cents put it, -50 at the scale's left end and +50 at its right.
TEST_F(TunerNoteTest, TheNeedleStandsAtTheCents) {
  const int32_t row = PixelsFromTwips(45);
  for (const double cents : {-50.0, -20.0, 0.0, 12.5, 49.9}) {
    DrawTunerNote(picture_, TunerReading{-1, 0, 0, NoteReading{40, cents}});
    const double x = kTunerScaleLeft + (cents + 50) / 100 * (kTunerScaleRight - kTunerScaleLeft);
    EXPECT_EQ(Highlighted(row), std::make_pair(PixelsFromTwips(x - kTunerNeedleWidth / 2),
                                               PixelsFromTwips(x + kTunerNeedleWidth / 2)))
        << cents;
  }
}

TEST_F(TunerNoteTest, WithoutANoteNothingIsHighlighted) {
  DrawTunerNote(picture_, TunerReading{-1, 0, 0, NoteReading{40, 3}, 442});
  DrawTunerNote(picture_, TunerReading{-1, 0, 0, std::nullopt, 442});
  for (int32_t y = 0; y < picture_.HeightPx(); ++y) {
    EXPECT_EQ(Highlighted(y).first, -1) << "row " << y << ": no needle, note or number";
  }
  int32_t scale = 0;
  for (int32_t x = 0; x < picture_.WidthPx(); ++x) {
    if (picture_.Pixel(x, PixelsFromTwips(75)) == kTunerNormal) ++scale;
  }
  EXPECT_GT(scale, 100) << "the scale stays";
}

TEST(TunerNoteTexts, CentsToATenthAndTheReferencePitchWhenNot440) {
  const std::pair<double, const char*> cents[] = {
      {3.24, "+3.2"}, {-0.44, "-0.4"}, {0.04, "0.0"},
      {-0.04, "0.0"}, {-50, "-50.0"},  {49.96, "+50.0"},
  };
  for (const auto& [value, text] : cents) EXPECT_EQ(CentsText(value), text) << value;
  EXPECT_EQ(ReferencePitchText(440), "");
  EXPECT_EQ(ReferencePitchText(442), "A4 = 442 Hz");
  EXPECT_EQ(ReferencePitchText(415.5f), "A4 = 415.5 Hz");
}

}  // namespace
}  // namespace ampora
