#include "util/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "support/temp_folder.h"
#include "util/folders.h"
#include "util/pending_file.h"

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

// Renaming over a file needs only the folder's permission; a file the user has
// write-protected must still be left alone, also through a link and also for root.
TEST(FilesTest, WriteProtectedFileIsNotReplaced) {
  TempFolder temp;
  const std::string file = temp.path() + "s.ini";
  WriteFileText(file, "[conf]\nA=1\n");
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  ASSERT_EQ(symlink("s.ini", (temp.path() + "link.ini").c_str()), 0);
  EXPECT_FALSE(ReplaceFileAtomically(file, "x"));
  EXPECT_FALSE(ReplaceFileAtomically(temp.path() + "link.ini", "x"));
  EXPECT_EQ(ReadFileText(file), "[conf]\nA=1\n");
  EXPECT_EQ(EntriesIn(temp.path()), 2u);
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);
  EXPECT_TRUE(ReplaceFileAtomically(file, "x"));
}

// What a crashed write leaves is removed; a write of a running process, a file changed
// after the start, other names and folders stay. The files lie beside the file a link
// names, not beside the link.
TEST(FilesTest, AbandonedTemporaryFilesAreRemovedAndNothingElse) {
  TempFolder temp;
  WriteFileText(temp.path() + "s.ini", "");
  ASSERT_TRUE(MakeFolders(temp.path() + "links/"));
  ASSERT_EQ(symlink("../s.ini", (temp.path() + "links/s.ini").c_str()), 0);
  timespec start{};
  clock_gettime(CLOCK_REALTIME, &start);
  const auto leave = [&](const std::string& name, time_t changed) {
    const std::string path = temp.path() + name;
    if (name.ends_with("/")) {
      ASSERT_TRUE(MakeFolders(path));
    } else {
      WriteFileText(path, "[conf]\nhal");
    }
    const timespec times[2] = {{changed, 0}, {changed, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  const std::string gone = "2147483647";  // no process has this id
  const std::string running = std::to_string(getpid());
  leave("s.ini.tmp" + gone + "-0", start.tv_sec - 3600);
  const std::set<std::string> kept = {"s.ini.tmp" + running + "-1",
                                      "s.ini.tmp" + gone + "-2",
                                      "s.ini.tmp" + gone + "-x",
                                      "s.ini.tmp" + gone,
                                      "s.ini.tmp-3",
                                      "t.ini.tmp" + gone + "-4",
                                      "s.ini.tmp" + gone + "-5"};
  for (const std::string& name : kept) {
    leave(name.ends_with("-5") ? name + "/" : name,
          name.ends_with("-2") ? start.tv_sec + 3600 : start.tv_sec - 3600);
  }
  RemoveAbandonedPendingFiles(temp.path() + "links/s.ini", start);
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
    left.insert(entry.path().filename().string());
  }
  std::set<std::string> expected = kept;
  expected.insert({"s.ini", "links"});
  EXPECT_EQ(left, expected);
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
