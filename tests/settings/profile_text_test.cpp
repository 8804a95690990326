#include "settings/profile_text.h"

#include <gtest/gtest.h>

namespace ampora {
namespace {

using namespace std::string_literals;

TEST(ProfileTextTest, NamesMatchCaseInsensitivelyAndTheFirstMatchWins) {
  const ProfileText profile(
      "Orphan=before any section\n"
      "[Conf]\n"
      "  BufferMS  =  20  \n"
      "bufferms=30\n"
      "; DeviceIn=commented out\n"
      "NoEquals\n"
      "[conf]\n"
      "DeviceIn=later section is never read\n"
      "[Bank01]\n"
      "Name=ギター=クリーン\n");
  EXPECT_EQ(profile.Get("CONF", "BUFFERms"), "20");
  EXPECT_EQ(profile.Get(" conf ", " BufferMS "), "20");
  EXPECT_EQ(profile.Get("conf", "DeviceIn"), std::nullopt);
  EXPECT_EQ(profile.Get("conf", "NoEquals"), std::nullopt);
  EXPECT_EQ(profile.Get("", "Orphan"), std::nullopt);
  EXPECT_EQ(profile.Get("bank01", "name"), "ギター=クリーン");
  EXPECT_EQ(profile.Get("Bank02", "Name"), std::nullopt);
  EXPECT_TRUE(profile.HasSection(" BANK01"));
  EXPECT_FALSE(profile.HasSection("Bank02"));
  EXPECT_FALSE(profile.HasSection(""));  // lines before the first section are no section
  EXPECT_TRUE(ProfileText("[Current]").HasSection("current"));  // empty, unterminated
}

TEST(ProfileTextTest, ReplacingAValueTouchesOnlyItsLine) {
  ProfileText profile(
      "; settings\r\n"
      "[conf]\r\n"
      "  BufferMS = 20\r\n"
      "Unknown line\r\n"
      "DelayMaxMS=80\r\n");
  ASSERT_TRUE(profile.Set("CONF", "buffermS", "40"));
  EXPECT_EQ(profile.text(),
            "; settings\r\n"
            "[conf]\r\n"
            "  BufferMS=40\r\n"
            "Unknown line\r\n"
            "DelayMaxMS=80\r\n");
}

TEST(ProfileTextTest, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEnd) {
  ProfileText profile(
      "[conf]\n"
      "BufferMS=20\n"
      "; last comment\n"
      "\n"
      "[Bank01]\n"
      "Name=A");
  ASSERT_TRUE(profile.Set("conf", "DelayMinMS", "10"));
  ASSERT_TRUE(profile.Set("Bank01", "Level", "-3"));
  ASSERT_TRUE(profile.Set("Bank02", "Name", ""));
  EXPECT_EQ(profile.text(),
            "[conf]\n"
            "BufferMS=20\n"
            "; last comment\n"
            "DelayMinMS=10\n"
            "\n"
            "[Bank01]\n"
            "Name=A\n"
            "Level=-3\n"
            "[Bank02]\n"
            "Name=\n");
  EXPECT_EQ(profile.Get("bank02", "name"), "");
}

TEST(ProfileTextTest, NewLinesFollowTheTextsLineEnds) {
  ProfileText crlf("[conf]\r\nA=1\r\n");
  ASSERT_TRUE(crlf.Set("conf", "B", "2"));
  ASSERT_TRUE(crlf.Set("other", "C", "3"));
  EXPECT_EQ(crlf.text(), "[conf]\r\nA=1\r\nB=2\r\n[other]\r\nC=3\r\n");

  ProfileText empty("");
  ASSERT_TRUE(empty.Set("conf", "A", "1"));
  EXPECT_EQ(empty.text(), "[conf]\nA=1\n");

  ProfileText headerOnly("[conf]");
  ASSERT_TRUE(headerOnly.Set("conf", "A", "1"));
  EXPECT_EQ(headerOnly.text(), "[conf]\nA=1\n");

  // A last line cut off after its CR reads without it; a line added after it must not
  // turn that CR into a byte of its value.
  struct CutCase {
    const char* before;
    const char* section;
    const char* after;
  };
  for (const CutCase& c : {CutCase{"[conf]\r\nA=1\r", "conf", "[conf]\r\nA=1\r\nB=2\r\n"},
                           CutCase{"[conf]\nA=1\r", "conf", "[conf]\nA=1\r\nB=2\n"},
                           CutCase{"[conf]\nA=1\r", "other", "[conf]\nA=1\r\n[other]\nB=2\n"}}) {
    ProfileText cut(c.before);
    ASSERT_EQ(cut.Get("conf", "A"), "1");
    ASSERT_TRUE(cut.Set(c.section, "B", "2"));
    EXPECT_EQ(cut.text(), c.after);
    EXPECT_EQ(cut.Get("conf", "A"), "1");
  }
}

TEST(ProfileTextTest, ByteOrderMarkBeforeTheFirstSectionIsAccepted) {
  ProfileText profile("\xEF\xBB\xBF[conf]\nA=1\n");
  EXPECT_EQ(profile.Get("conf", "A"), "1");
  ASSERT_TRUE(profile.Set("conf", "A", "2"));
  EXPECT_EQ(profile.text(), "\xEF\xBB\xBF[conf]\nA=2\n");
}

TEST(ProfileTextTest, NamesAndValuesThatWouldNotReadBackAreRefused) {
  ProfileText profile("[conf]\nA=1\n");
  EXPECT_FALSE(profile.Set("conf", "B", "two\nlines"));
  EXPECT_FALSE(profile.Set("conf", "B", "cr\r"));
  EXPECT_FALSE(profile.Set("conf", "B", "nul\0"s));
  EXPECT_FALSE(profile.Set("conf", "", "x"));
  EXPECT_FALSE(profile.Set("conf", "a=b", "x"));
  EXPECT_FALSE(profile.Set("conf", "[x", "x"));
  EXPECT_FALSE(profile.Set("conf", ";x", "x"));
  EXPECT_FALSE(profile.Set("co]nf", "B", "x"));
  EXPECT_FALSE(profile.Set("conf\n[evil", "B", "x"));
  EXPECT_EQ(profile.text(), "[conf]\nA=1\n");
}

TEST(ProfileTextTest, RemoveTakesOutTheFirstMatchingLine) {
  ProfileText profile("[conf]\nA=1\nB=2\na=3\n[x]\nA=4\n");
  EXPECT_TRUE(profile.Remove("conf", "a"));
  EXPECT_EQ(profile.text(), "[conf]\nB=2\na=3\n[x]\nA=4\n");
  EXPECT_FALSE(profile.Remove("conf", "C"));
}

}  // namespace
}  // namespace ampora
