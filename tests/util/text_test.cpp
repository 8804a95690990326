#include "util/text.h"

#include <gtest/gtest.h>

#include <string>

namespace ampora {
namespace {

using namespace std::string_literals;

TEST(TextTest, CutToBytesNeverEndsInsideAUtf8Sequence) {
  const std::string a253 = std::string(253, 'a');
  EXPECT_EQ(CutToBytes(std::string(300, 'x'), 254), std::string(254, 'x'));
  EXPECT_EQ(CutToBytes(a253 + "あい", 254), a253);  // あ would need bytes 254..256
  EXPECT_EQ(CutToBytes(a253 + "é", 254), a253);     // 2-byte sequence
  EXPECT_EQ(CutToBytes(std::string(250, 'a') + "😀z", 254), std::string(250, 'a') + "😀");
  EXPECT_EQ(CutToBytes(std::string(251, 'a') + "😀", 254), std::string(251, 'a'));
  EXPECT_EQ(CutToBytes("ab", 254), "ab");
  // Stray continuation bytes are no sequence: the plain cut stands.
  EXPECT_EQ(CutToBytes("a\x80\x80\x80\x80\x80", 3), "a\x80\x80");
  EXPECT_EQ(CutToBytes("\x80\x80", 1), "\x80");
  EXPECT_EQ(CutToBytes("\xC3\xA9\x80", 2), "\xC3\xA9");  // é is whole, \x80 is stray
  EXPECT_EQ(CutToBytes("あ", 2), "");
}

TEST(TextTest, CutAtNulTrimsThenCuts) {
  EXPECT_EQ(CutAtNul("  host \0garbage"s), "host ");
  EXPECT_EQ(CutAtNul("name\0\0\0   "s), "name");
  EXPECT_EQ(CutAtNul("\t x \t"), "x");
  EXPECT_EQ(CutAtNul(""), "");
}

TEST(TextTest, ZeroPaddedCountsTheSignInTheWidth) {
  EXPECT_EQ(ZeroPadded(7, 2), "07");
  EXPECT_EQ(ZeroPadded(2024, 2), "2024");
  EXPECT_EQ(ZeroPadded(5, 4), "0005");
  EXPECT_EQ(ZeroPadded(-5, 2), "-5");
  EXPECT_EQ(ZeroPadded(-5, 3), "-05");
  EXPECT_EQ(ZeroPadded(int64_t{1} << 40, 2), "1099511627776");
}

TEST(TextTest, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoreCase("CoNf", "conf"));
  EXPECT_FALSE(EqualsIgnoreCase("conf", "conf "));
  EXPECT_FALSE(EqualsIgnoreCase("\xC3\x89", "\xC3\xA9"));  // É and é stay distinct
  EXPECT_EQ(LowerAscii("Ampora Audio\xC3\x89"), "ampora audio\xC3\x89");
}

TEST(TextTest, Utf8CharLengthSplitsAnyBytesIntoPieces) {
  const std::string text = "aあ😀\xE3\x81\xFF";
  EXPECT_EQ(Utf8CharLength(text, 0), 1u);
  EXPECT_EQ(Utf8CharLength(text, 1), 3u);
  EXPECT_EQ(Utf8CharLength(text, 4), 4u);
  EXPECT_EQ(Utf8CharLength(text, 8), 1u);  // truncated sequence
  EXPECT_EQ(Utf8CharLength(text, 10), 1u);
}

}  // namespace
}  // namespace ampora
