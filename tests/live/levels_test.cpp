#include "live/levels.h"

#include <gtest/gtest.h>

#include "effects/db_to_gain.h"

namespace ampora {
namespace {

TEST(LevelTexts, SignAndAtLeastTwoDigitsPerValue) {
  struct Case {
    int32_t db;
    const char* text;
  };
  for (const Case& c : {Case{5, "IN : +05db"}, Case{-5, "IN : -05db"}, Case{0, "IN : +00db"},
                        Case{-50, "IN : -50db"}, Case{50, "IN : +50db"}}) {
    EXPECT_EQ(InLevelText(c.db), c.text);
  }
  EXPECT_EQ(OutLevelText(-3, 0), "OUT : L=-03db R=+00db");
  EXPECT_EQ(OutLevelText(-50, -50), "OUT : L=-50db R=-50db");
  EXPECT_NEAR(DbToGain(5), 1.7783, 1e-4);
  EXPECT_NEAR(DbToGain(-50), 0.0031623, 1e-7);
}

class LevelsTest : public ::testing::Test {
 protected:
  FaderModel in{true};
  FaderModel out;
  StreamBuffers gains;
  Levels levels{in, out, gains};
};

// Loading a bank links the output fader exactly when its pair is equal, whatever the link
// was before; the input fader is always linked, so its right value sets both.
TEST_F(LevelsTest, LoadedLevelsSetTheLinkBeforeTheValues) {
  struct Case {
    BankLevels stored;
    bool linkedBefore;
    std::array<int32_t, 2> in;
    std::array<int32_t, 2> out;
    bool linkedAfter;
  };
  const Case cases[] = {
      {{{3, 3}, {4, 2}}, true, {3, 3}, {4, 2}, false},
      {{{3, 3}, {4, 4}}, false, {3, 3}, {4, 4}, true},
      {{{30, -80}, {90, -7}}, true, {-50, -50}, {50, -7}, false},  // limited to the range
  };
  for (const Case& c : cases) {
    out.SetLinked(c.linkedBefore);
    const std::string status = levels.LoadLevels(c.stored);
    EXPECT_EQ(levels.LevelIn, c.in);
    EXPECT_EQ(levels.LevelOut, c.out);
    EXPECT_EQ(out.Linked(), c.linkedAfter);
    EXPECT_EQ(status, OutLevelText(c.out[0], c.out[1]));
    EXPECT_EQ(gains.OutGain[0], DbToGain(static_cast<float>(c.out[0])));
  }
}

TEST_F(LevelsTest, DoubleClickResetsToZeroAndKeepsTheLink) {
  out.SetValueL(-3);
  out.SetValueR(6);
  EXPECT_EQ(levels.DoubleClicked(kOutFader), "OUT : L=+00db R=+00db");
  EXPECT_FALSE(out.Linked());
  EXPECT_EQ(gains.OutGain, (std::array<float, 2>{1.0f, 1.0f}));
  in.SetLinked(false);
  EXPECT_TRUE(in.Linked()) << "the input fader cannot be split";
}

}  // namespace
}  // namespace ampora
