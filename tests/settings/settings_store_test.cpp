#include "settings/settings_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "settings/settings_batch.h"
#include "settings/settings_location.h"
#include "settings/user_store.h"
#include "support/settings_fixture.h"
#include "util/files.h"

namespace ampora {
namespace {

using test::ReadFileText;
using test::WriteFileText;

// What fn writes to standard error.
template <class Fn>
std::string StandardErrorOf(Fn fn) {
  testing::internal::CaptureStderr();
  fn();
  return testing::internal::GetCapturedStderr();
}

std::size_t LinesOf(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class SettingsStoreTest : public test::SettingsFixture {};

TEST_F(SettingsStoreTest, FirstRunWritesEveryDefaultIntoSectionConf) {
  EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(20)), "20");
  EXPECT_EQ(ReadSetting("DeviceIn", SettingValue::Text("")), "");
  EXPECT_EQ(ReadSetting("FontSize", SettingValue::Float(12.5f)), "12.5");
  EXPECT_EQ(ReadSetting("MidiCh", SettingValue::Int16(-1)), "-1");
  EXPECT_EQ(IniText(), "[conf]\nBufferMS=20\nDeviceIn=***\nFontSize=12.5\nMidiCh=-1\n");
  // Once written, the stored value wins over another default.
  EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(99)), "20");
}

TEST_F(SettingsStoreTest, EmptyTextIsStoredAsMarkerAndReadsBackEmpty) {
  WriteSetting("DeviceIn", SettingValue::Text(""));
  EXPECT_EQ(IniText(), "[conf]\nDeviceIn=***\n");
  EXPECT_EQ(ReadSetting("DeviceIn", SettingValue::Text("default device")), "");
  WriteSetting("DeviceIn", SettingValue::Text("USB Audio"));
  EXPECT_EQ(ReadSetting("deviceIN", SettingValue::Text("")), "USB Audio");
  EXPECT_EQ(IniText(), "[conf]\nDeviceIn=USB Audio\n");
}

TEST_F(SettingsStoreTest, StoredIsDefaultCountsAsAbsentAndIsOverwritten) {
  WriteFileText(IniPath(), "[conf]\nBufferMS=ISDEFAULT\nOther=isdefault\n");
  EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(20)), "20");
  EXPECT_EQ(ReadSetting("Other", SettingValue::Int32(1)), "isdefault");
  EXPECT_EQ(IniText(), "[conf]\nBufferMS=20\nOther=isdefault\n");
}

TEST_F(SettingsStoreTest, ReadKeeps254BytesOfWholeCharacters) {
  WriteSetting("Long", SettingValue::Text(std::string(300, 'x')));
  EXPECT_EQ(ReadSetting("Long", SettingValue::Text("")), std::string(254, 'x'));
  // 84 three-byte characters are 252 bytes; the 85th would end at byte 255.
  std::string japanese;
  for (int i = 0; i < 100; ++i) japanese += "音";
  WriteSetting("Name", SettingValue::Text(japanese));
  EXPECT_EQ(ReadSetting("Name", SettingValue::Text("")), japanese.substr(0, 252));
}

TEST_F(SettingsStoreTest, ValuesAreCutAtTheirFirstNul) {
  WriteFileText(IniPath(), std::string("[conf]\nDeviceIn=Line\0junk\n", 26));
  EXPECT_EQ(ReadSetting("DeviceIn", SettingValue::Text("")), "Line");
  // What the cut leaves is read as a rewrite of it would read: without end blanks.
  WriteFileText(IniPath(), std::string("[conf]\nDeviceIn=Line \t\0junk\n", 28));
  EXPECT_EQ(ReadSetting("DeviceIn", SettingValue::Text("")), "Line");
  WriteFileText(IniPath(), "[conf]\nDeviceIn=" + std::string(253, 'x') + "  y\n");
  EXPECT_EQ(ReadSetting("DeviceIn", SettingValue::Text("")), std::string(253, 'x'));
}

TEST_F(SettingsStoreTest, ReadWithoutWriteBackLeavesTheFileAlone) {
  EXPECT_EQ(ReadIniValue("BufferMS", SettingValue::Int32(20), "", "", 0), "20");
  EXPECT_FALSE(FileExists(IniPath()));
  WriteFileText(IniPath(), "[conf]\r\nA=1");
  EXPECT_EQ(ReadIniValue("B", SettingValue::Text(""), "", "", 0), "");
  EXPECT_EQ(IniText(), "[conf]\r\nA=1");
}

TEST_F(SettingsStoreTest, FileLevelOperationsWorkOnNamedSectionsAndFiles) {
  const std::string bankFile = AppDir() + "banks.ini";
  WriteIniValue("Name", SettingValue::Text("Crunch"), bankFile, "Bank01");
  WriteIniValue("Level", SettingValue::Int32(-6), bankFile, "Bank01");
  WriteIniValue("Name", SettingValue::Text("Clean"), bankFile, "Current");
  EXPECT_EQ(ReadFileText(bankFile), "[Bank01]\nName=Crunch\nLevel=-6\n[Current]\nName=Clean\n");
  EXPECT_EQ(ReadIniValue("name", SettingValue::Text(""), bankFile, "BANK01"), "Crunch");
  // Empty file and section mean the program's settings file and "conf".
  WriteIniValue("BufferMS", SettingValue::Int32(30));
  EXPECT_EQ(IniText(), "[conf]\nBufferMS=30\n");
}

TEST_F(SettingsStoreTest, StoreResolution) {
  // Mode 0 goes to SettingsIniPath whether it exists or not.
  EXPECT_EQ(ResolveSettingsStore("", 0).kind, kProfileFile);
  EXPECT_EQ(ResolveSettingsStore("", 0).target, IniPath());
  // Mode 1 takes the file only when it exists.
  EXPECT_EQ(ResolveSettingsStore("", 1).kind, kUserStore);
  EXPECT_EQ(ResolveSettingsStore("", 1).target, "");
  WriteFileText(IniPath(), "");
  EXPECT_EQ(ResolveSettingsStore("", 1).kind, kProfileFile);
  // A store name picks its own file when it exists, else the per-user store of that name.
  EXPECT_EQ(ResolveSettingsStore("Live", 0).kind, kUserStore);
  EXPECT_EQ(ResolveSettingsStore("Live", 0).target, "Live");
  WriteFileText(AppDir() + "Live.ini", "");
  EXPECT_EQ(ResolveSettingsStore("Live", 0).kind, kProfileFile);
  EXPECT_EQ(ResolveSettingsStore("Live", 0).target, AppDir() + "Live.ini");
  // Without a settings path the title's per-user store is used.
  SettingsIniPath.clear();
  EXPECT_EQ(ResolveSettingsStore("", 0).kind, kUserStore);
  EXPECT_EQ(ResolveSettingsStore("", 0).target, "ampora");
}

TEST_F(SettingsStoreTest, StoreNameWithoutFileSendsReadsAndWritesToTheUserStore) {
  WriteSetting("DeviceOut", SettingValue::Text("HDMI"), 0, "Stage");
  EXPECT_FALSE(FileExists(AppDir() + "Stage.ini"));
  EXPECT_EQ(ReadRegValue("DeviceOut", SettingValue::Text(""), "Stage"), "HDMI");
  EXPECT_EQ(ReadSetting("DeviceOut", SettingValue::Text("none"), 0, "Stage"), "HDMI");
  // The user store has no write-back.
  EXPECT_EQ(ReadSetting("Missing", SettingValue::Int32(5), 0, "Stage"), "5");
  EXPECT_EQ(ReadRegValue("Missing", SettingValue::Text("absent"), "Stage"), "absent");
}

// The program installed where it may not write: the settings go to the user's folder,
// and a settings file that came with the program is carried over.
TEST_F(SettingsStoreTest, UnwritableProgramFolderUsesThePerUserFile) {
  const std::string userFile = ConfigDir() + "ampora/ampora.ini";
  EXPECT_EQ(UserSettingsFolder(), ConfigDir() + "ampora/");
  EXPECT_EQ(SettingsFileIn(AppDir(), "ampora", {.writable = true}), IniPath());
  EXPECT_EQ(SettingsFileIn("/nonexistent/", "ampora", {}), userFile);
  EXPECT_FALSE(FileExists(userFile));

  WriteFileText(IniPath(), "[conf]\nBufferMS=35\n");
  EXPECT_EQ(SettingsFileIn(AppDir(), "ampora", {}), userFile);
  EXPECT_EQ(ReadFileText(userFile), "[conf]\nBufferMS=35\n");
  // The copy is made once; later changes of the user's file stay.
  SettingsIniPath = userFile;
  WriteSetting("BufferMS", SettingValue::Int32(40));
  EXPECT_EQ(SettingsFileIn(AppDir(), "ampora", {}), userFile);
  EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(20)), "40");
  EXPECT_EQ(IniText(), "[conf]\nBufferMS=35\n");

  // A program folder that does not exist counts as unwritable.
  OverrideAppFolder("/nonexistent/ampora/");
  EXPECT_EQ(SettingsFileFor("ampora"), userFile);
}

// Installed into a prefix the user may write (~/.local), the program still keeps its
// settings per user: the desktop entry beside its folder tells it is installed.
TEST_F(SettingsStoreTest, AnInstalledProgramUsesThePerUserFileInAWritableFolder) {
  const std::string bin = AppDir() + "bin/";
  ASSERT_TRUE(MakeFolders(bin));
  WriteFileText(bin + "ampora.ini", "[conf]\nBufferMS=35\n");
  OverrideAppFolder(bin);
  EXPECT_FALSE(IsInstalledProgram(bin));
  EXPECT_EQ(SettingsFileFor("ampora"), bin + "ampora.ini");

  ASSERT_TRUE(MakeFolders(AppDir() + "share/applications/"));
  WriteFileText(AppDir() + "share/applications/ampora.desktop", "[Desktop Entry]\n");
  EXPECT_TRUE(IsInstalledProgram(bin));
  EXPECT_EQ(SettingsFileFor("ampora"), ConfigDir() + "ampora/ampora.ini");
  EXPECT_EQ(ReadFileText(ConfigDir() + "ampora/ampora.ini"), "[conf]\nBufferMS=35\n");
}

// No per-user folder can be made (its place is taken by a file): the settings that came
// with the program are read where they are, and the user is told once.
TEST_F(SettingsStoreTest, ShippedSettingsAreReadWhenNoPerUserCopyCanBeMade) {
  WriteFileText(IniPath(), "[conf]\nBufferMS=35\n");
  WriteFileText(ConfigDir().substr(0, ConfigDir().size() - 1), "not a folder");
  std::string file;
  const std::string report = StandardErrorOf([&] {
    file = SettingsFileIn(AppDir(), "ampora", {});
    SettingsFileIn(AppDir(), "ampora", {});
  });
  EXPECT_EQ(file, IniPath());
  EXPECT_EQ(LinesOf(report), 1u) << report;
  EXPECT_NE(report.find("cannot save settings in " + IniPath()), std::string::npos) << report;
  SettingsIniPath = file;
  EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(20)), "35");
}

// The file is found once: a program folder that changes its face mid-run (here it is
// gone, so it counts as unwritable) cannot split banks and settings over two files.
TEST_F(SettingsStoreTest, TheSettingsFileIsFixedForTheRun) {
  SettingsIniPath.clear();
  WriteIniValue("A", SettingValue::Int32(1), "", "Bank01");  // resolves it on first use
  EXPECT_EQ(SettingsIniPath, IniPath());
  OverrideAppFolder("/nonexistent/ampora/");
  WriteIniValue("B", SettingValue::Int32(2), "", "Bank01");
  EXPECT_EQ(ReadSetting("C", SettingValue::Int32(3)), "3");
  EXPECT_EQ(ResolveSettingsStore("", 1).target, IniPath());
  EXPECT_EQ(IniText(), "[Bank01]\nA=1\nB=2\n[conf]\nC=3\n");
  EXPECT_FALSE(FileExists(ConfigDir() + "ampora/ampora.ini"));
}

// A file the user made read-only keeps its content, batched or not, and the user hears
// of it once.
TEST_F(SettingsStoreTest, AWriteProtectedFileIsLeftAloneAndReportedOnce) {
  WriteFileText(IniPath(), "[conf]\nBufferMS=20\n");
  ASSERT_EQ(chmod(IniPath().c_str(), 0444), 0);
  const std::string report = StandardErrorOf([] {
    WriteSetting("BufferMS", SettingValue::Int32(30));
    EXPECT_EQ(ReadSetting("DelayMinMS", SettingValue::Int32(10)), "10");
    SettingsBatch batch;
    WriteIniValue("Limiter-01", SettingValue::Int32(1), "", "Bank01");
  });
  EXPECT_EQ(IniText(), "[conf]\nBufferMS=20\n");
  EXPECT_EQ(LinesOf(report), 1u) << report;
  EXPECT_NE(report.find(IniPath()), std::string::npos) << report;
}

// Temporary files that a crash left beside the settings file go at the next start.
TEST_F(SettingsStoreTest, StartUpRemovesWhatACrashedWriteLeft) {
  const std::string left = IniPath() + ".tmp2147483647-0";
  WriteFileText(left, "[conf]\nBuff");
  const timespec anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, left.c_str(), anHourAgo, 0), 0);
  InitSettingsPaths();
  EXPECT_FALSE(FileExists(left));
}

// Store names reach file paths; none may lead out of the program's folder.
TEST_F(SettingsStoreTest, StoreNamesCannotLeaveTheProgramsFolder) {
  const std::string outside = AppDir() + "../outside.ini";
  WriteFileText(outside, "[conf]\nA=1\n");
  ASSERT_TRUE(MakeFolders(AppDir() + "sub/"));
  WriteFileText(AppDir() + "sub/x.ini", "[conf]\nA=1\n");
  for (const std::string& name : {std::string("../outside"), std::string(".."), std::string("."),
                                  std::string("sub/x"), std::string("x\0/..", 5)}) {
    EXPECT_EQ(SettingsFileFor(name), "") << name;
    EXPECT_NE(ResolveSettingsStore(name, 0).kind, kProfileFile) << name;
  }
  EXPECT_EQ(ReadSetting("A", SettingValue::Int32(0), 0, "../outside"), "0");
  WriteSetting("A", SettingValue::Int32(2), 0, "sub/x");
  EXPECT_EQ(ReadFileText(outside), "[conf]\nA=1\n");
  EXPECT_EQ(ReadFileText(AppDir() + "sub/x.ini"), "[conf]\nA=1\n");
}

TEST_F(SettingsStoreTest, InitSettingsPathsNamesTheProgramsFile) {
  AppTitle.clear();
  SettingsIniPath.clear();
  InitSettingsPaths();
  EXPECT_EQ(AppTitle, "ampora");
  EXPECT_EQ(SettingsIniPath, IniPath());
}

TEST_F(SettingsStoreTest, AWriteThatCannotBeDoneKeepsTheFile) {
  // A file too large to be a settings file is neither read nor replaced.
  WriteFileText(IniPath(), "[conf]\nA=1\n");
  std::filesystem::resize_file(IniPath(), 65u << 20);
  EXPECT_EQ(ReadSetting("A", SettingValue::Int32(0)), "0");
  EXPECT_EQ(std::filesystem::file_size(IniPath()), 65u << 20);
  std::ifstream in(IniPath(), std::ios::binary);
  std::string head(11, '\0');
  in.read(head.data(), 11);
  EXPECT_EQ(head, "[conf]\nA=1\n");
  // A folder in the file's place is not replaced either.
  const std::string folderPath = AppDir() + "folder.ini";
  ASSERT_TRUE(MakeFolders(folderPath));
  WriteIniValue("A", SettingValue::Int32(1), folderPath);
  EXPECT_EQ(ReadIniValue("A", SettingValue::Int32(2), folderPath, "", 0), "2");
}

}  // namespace
}  // namespace ampora
