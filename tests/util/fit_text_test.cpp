#include "util/fit_text.h"

#include <gtest/gtest.h>

#include "util/text.h"

namespace ampora {
namespace {

// 100 twips per character; a multi-byte character is as wide as any other.
class CharacterMeasure : public TextMeasure {
 public:
  int32_t TextWidthTwips(const std::string& text) const override {
    int32_t characters = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += Utf8CharLength(text, pos)) ++characters;
    return characters * 100;
  }
};

TEST(FitTextTest, KeepsTheLongestPieceThatFits) {
  const CharacterMeasure measure;
  EXPECT_EQ(FitText("abcdef", measure, 600, false), "abcdef");
  EXPECT_EQ(FitText("abcdef", measure, 350, false), "abc");
  EXPECT_EQ(FitText("abcdef", measure, 350, true), "def");
  EXPECT_EQ(FitText("abcdef", measure, 400, true), "cdef");
}

TEST(FitTextTest, NeverLessThanOneCharacter) {
  const CharacterMeasure measure;
  EXPECT_EQ(FitText("W", measure, 10, false), "W");
  EXPECT_EQ(FitText("ab", measure, 10, false), "a");
  EXPECT_EQ(FitText("ab", measure, 10, true), "b");
  EXPECT_EQ(FitText("", measure, 0, false), "");
}

TEST(FitTextTest, CutsBetweenWholeCharacters) {
  const CharacterMeasure measure;
  EXPECT_EQ(FitText("デバイス名", measure, 250, false), "デバ");
  EXPECT_EQ(FitText("デバイス名", measure, 250, true), "ス名");
  EXPECT_EQ(FitText("a\xFF\xFE"
                    "b",
                    measure, 250, true),
            "\xFE"
            "b");
}

}  // namespace
}  // namespace ampora
