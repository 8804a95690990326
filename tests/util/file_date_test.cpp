#include "util/file_date.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <ctime>

#include "support/temp_folder.h"

namespace ampora {
namespace {

TEST(FileDateTest, FormatsEveryStyleAndPart) {
  std::tm t{};
  t.tm_year = 2010 - 1900;
  t.tm_mon = 4;
  t.tm_mday = 6;
  t.tm_hour = 12;
  t.tm_min = 34;
  t.tm_sec = 56;
  EXPECT_EQ(FormatFileTime(t, 3, 0), "20100506123456");
  EXPECT_EQ(FormatFileTime(t, 3, 1), "2010/05/06 12:34:56");
  EXPECT_EQ(FormatFileTime(t, 3, 2), "2010年05月06日 12時34分56秒");
  EXPECT_EQ(FormatFileTime(t, 1, 1), "2010/05/06");
  EXPECT_EQ(FormatFileTime(t, 2, 1), "12:34:56");
  EXPECT_EQ(FormatFileTime(t, 2, 2), "12時34分56秒");
  EXPECT_EQ(FormatFileTime(t, 0, 1), "");
  t.tm_year = 5 - 1900;
  t.tm_hour = 0;
  EXPECT_EQ(FormatFileTime(t, 1, 0), "00050506");
}

class FileDateOfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = temp_.path() + "bank.ini";
    test::WriteFileText(path_, "x");
    // Last access 2009-01-02 03:04:05 UTC, last write 2010-05-06 12:34:56 UTC.
    const timespec times[2] = {{1230865445, 0}, {1273149296, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);
    tzset();
  }
  void TearDown() override { tzset(); }

  test::TempFolder temp_;
  test::ScopedEnv tz_{"TZ", "UTC"};
  std::string path_;
};

TEST_F(FileDateOfFileTest, ReadsTheChosenTimeInLocalTime) {
  EXPECT_EQ(FileDateText(path_, kLastWriteTime, 3, 1), "2010/05/06 12:34:56");
  EXPECT_EQ(FileDateText(path_, kLastAccessTime, 3, 2), "2009年01月02日 03時04分05秒");
  test::ScopedEnv tokyo("TZ", "JST-9");
  tzset();
  EXPECT_EQ(FileDateText(path_, kLastWriteTime, 3, 0), "20100506213456");
}

TEST_F(FileDateOfFileTest, CreationTimeIsAlwaysAnswered) {
  // Birth time where the file system keeps it, else the last write time.
  const std::string text = FileDateText(path_, kCreationTime, 3, 1);
  const std::string shape = "dddd/dd/dd dd:dd:dd";
  ASSERT_EQ(text.size(), shape.size()) << text;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    EXPECT_EQ(shape[i] == 'd', std::isdigit(static_cast<unsigned char>(text[i])) != 0) << text;
  }
}

TEST_F(FileDateOfFileTest, MissingFilesAndFoldersGiveEmptyText) {
  EXPECT_EQ(FileDateText(temp_.path() + "missing.ini", kLastWriteTime, 3, 1), "");
  EXPECT_EQ(FileDateText(temp_.path(), kLastWriteTime, 3, 1), "");
  EXPECT_EQ(FileDateText("", kLastWriteTime, 3, 1), "");
  EXPECT_EQ(FileDateText(path_, 7, 3, 1), "");
}

}  // namespace
}  // namespace ampora
