#include "util/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_folder.h"
#include "util/folders.h"

namespace ampora {
namespace {

using test::ReadFileText;
using test::TempFolder;
using test::WriteFileText;

std::size_t EntriesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(FoldersTest, FoldersEndWithExactlyOneSlash) {
  const std::string app = AppFolder();
  ASSERT_GE(app.size(), 2u);
  EXPECT_EQ(app.back(), '/');
  EXPECT_NE(app[app.size() - 2], '/');
  EXPECT_TRUE(FileExists(app + "util_test"));

  OverrideAppFolder("/");
  EXPECT_EQ(AppFolder(), "/");
  OverrideAppFolder("/opt/ampora");
  EXPECT_EQ(AppFolder(), "/opt/ampora/");
  OverrideAppFolder("");
  EXPECT_EQ(AppFolder(), app);
  EXPECT_EQ(SystemFolder(), "/usr/bin/");
}

TEST(FoldersTest, UserConfigFolderFollowsXdgThenHome) {
  {
    test::ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(UserConfigFolder(), "/tmp/cfg/");
  }
  test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/cfg");  // not absolute: ignored
  test::ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/");
}

TEST(FilesTest, FileExistsOnlyForThingsThatAreNotFolders) {
  TempFolder temp;
  const std::string file = temp.path() + "a.ini";
  WriteFileText(file, "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(temp.path()));
  EXPECT_FALSE(FileExists(temp.path() + "missing"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("   "));
  EXPECT_FALSE(FileExists(" " + file));  // the untrimmed path is the one looked at
  ASSERT_EQ(symlink((temp.path() + "gone").c_str(), (temp.path() + "dangling").c_str()), 0);
  EXPECT_FALSE(FileExists(temp.path() + "dangling"));
}

TEST(FilesTest, ReadWholeFileRefusesWhatIsNoRegularFileOrTooLarge) {
  TempFolder temp;
  WriteFileText(temp.path() + "f", "12345");
  EXPECT_EQ(ReadWholeFile(temp.path() + "f", 5), "12345");
  EXPECT_FALSE(ReadWholeFile(temp.path() + "f", 4));
  EXPECT_FALSE(ReadWholeFile(temp.path() + "missing", 100));
  EXPECT_FALSE(ReadWholeFile(temp.path(), 100));
  // A pipe without a writer would block a plain read forever.
  ASSERT_EQ(mkfifo((temp.path() + "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(temp.path() + "pipe", 100));
}

TEST(FilesTest, ReplaceCreatesReplacesAndKeepsModeAndLinks) {
  TempFolder temp;
  const std::string file = temp.path() + "s.ini";
  ASSERT_TRUE(ReplaceFileAtomically(file, "one"));
  EXPECT_EQ(ReadFileText(file), "one");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(ReplaceFileAtomically(file, "two"));
  EXPECT_EQ(ReadFileText(file), "two");
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  const std::string link = temp.path() + "link.ini";
  ASSERT_EQ(symlink("s.ini", link.c_str()), 0);
  ASSERT_TRUE(ReplaceFileAtomically(link, "three"));
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFileText(file), "three");
  EXPECT_EQ(EntriesIn(temp.path()), 2u);  // no temporary file left behind

  EXPECT_FALSE(ReplaceFileAtomically(temp.path() + "no/such/folder.ini", "x"));
  EXPECT_FALSE(ReplaceFileAtomically(temp.path(), "x"));  // a folder is not replaced
}

// A full disk, as the file size limit makes it: the write fails, the old file stays
// whole and no temporary file is left.
TEST(FilesTest, FailedWriteKeepsTheOldFile) {
  TempFolder temp;
  const std::string file = temp.path() + "s.ini";
  WriteFileText(file, "[conf]\nBufferMS=20\n");

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool replaced = ReplaceFileAtomically(file, std::string(100000, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(replaced);
  EXPECT_EQ(ReadFileText(file), "[conf]\nBufferMS=20\n");
  EXPECT_EQ(EntriesIn(temp.path()), 1u);
}

TEST(FilesTest, MakeFoldersCreatesTheWholePath) {
  TempFolder temp;
  EXPECT_TRUE(MakeFolders(temp.path() + "a/b/c/"));
  EXPECT_TRUE(MakeFolders(temp.path() + "a/b/c"));
  EXPECT_TRUE(std::filesystem::is_directory(temp.path() + "a/b/c"));
  WriteFileText(temp.path() + "file", "");
  EXPECT_FALSE(MakeFolders(temp.path() + "file/sub"));
  EXPECT_FALSE(MakeFolders(""));
}

}  // namespace
}  // namespace ampora
