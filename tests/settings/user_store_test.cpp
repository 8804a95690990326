#include "settings/user_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/settings_fixture.h"
#include "util/files.h"
#include "util/text.h"
#include "version.h"

namespace ampora {
namespace {

using test::ReadFileText;

class UserStoreTest : public test::SettingsFixture {
 protected:
  std::string StoreOf(const std::string& app) const {
    return ConfigDir() + LowerAscii(kCompanyName) + "/" + app + ".conf";
  }
};

TEST_F(UserStoreTest, ValuesLiveInOneFilePerApplication) {
  EXPECT_EQ(WriteRegValue("DeviceIn", SettingValue::Text("Line 1"), "Ampora"), 1);
  EXPECT_EQ(WriteRegValue("BufferMS", SettingValue::Int32(20)), 1);  // empty = AppTitle
  EXPECT_EQ(ReadFileText(StoreOf("ampora")), "[values]\nDeviceIn=Line 1\nBufferMS=20\n");
  EXPECT_EQ(ReadRegValue("deviceIN", SettingValue::Text("x"), "AMPORA"), "Line 1");
  // An explicit key path reaches the same store, whatever its case.
  const std::string path = "Software\\" + std::string(kCompanyName) + "\\AMPORA";
  EXPECT_EQ(ReadRegValue("BufferMS", SettingValue::Int32(0), "", 0, path), "20");

  DeleteRegValue("DeviceIn", "ampora");
  EXPECT_EQ(ReadRegValue("DeviceIn", SettingValue::Text("gone"), "ampora"), "gone");
  DeleteRegValue("NeverWritten", "nobody");  // nothing to delete, nothing created
  EXPECT_FALSE(FileExists(StoreOf("nobody")));
}

TEST_F(UserStoreTest, EmptyTextAndLongValues) {
  ASSERT_EQ(WriteRegValue("DeviceOut", SettingValue::Text("")), 1);
  EXPECT_EQ(ReadFileText(StoreOf("ampora")), "[values]\nDeviceOut=***\n");
  EXPECT_EQ(ReadRegValue("DeviceOut", SettingValue::Text("default")), "");
  EXPECT_EQ(ReadRegValue("Missing", SettingValue::Text("")), "");
  EXPECT_EQ(ReadRegValue("Missing", SettingValue::Text("***")), "");
  std::string text(254, 'a');
  text += "é";
  ASSERT_EQ(WriteRegValue("Long", SettingValue::Text(text)), 1);
  EXPECT_EQ(ReadRegValue("Long", SettingValue::Text("")), std::string(254, 'a'));
}

TEST_F(UserStoreTest, DeleteAppKeyRemovesOnlyThatApplicationsStore) {
  ASSERT_EQ(WriteRegValue("A", SettingValue::Int32(1), "ampora"), 1);
  ASSERT_EQ(WriteRegValue("A", SettingValue::Int32(2), "Other"), 1);
  DeleteRegAppKey("AMPORA");
  EXPECT_FALSE(FileExists(StoreOf("ampora")));
  EXPECT_EQ(ReadRegValue("A", SettingValue::Int32(0), "other"), "2");

  // Without any application name nothing is deleted, least of all the company's folder.
  AppTitle.clear();
  DeleteRegAppKey("");
  DeleteRegAppKey("..");
  DeleteRegAppKey(".");
  EXPECT_TRUE(FileExists(StoreOf("other")));
  AppTitle = "other";
  DeleteRegAppKey();
  EXPECT_FALSE(FileExists(StoreOf("other")));
  EXPECT_TRUE(std::filesystem::is_directory(ConfigDir() + LowerAscii(kCompanyName)));
}

TEST_F(UserStoreTest, NamesThatLeaveTheConfigFolderNameNoStore) {
  const std::vector<std::string> badPaths = {"Software\\..\\..\\escape", "Software\\a\\\\b",
                                             "Software\\x/y\\z", "Software\\a\\.", "Software\\"};
  for (const std::string& path : badPaths) {
    EXPECT_EQ(WriteRegValue("A", SettingValue::Int32(1), "", 0, path), 0) << path;
    EXPECT_EQ(ReadRegValue("A", SettingValue::Int32(7), "", 0, path), "7") << path;
  }
  EXPECT_EQ(WriteRegValue("A", SettingValue::Int32(1), "../escape"), 0);
  // Only the current user's hive exists.
  EXPECT_EQ(WriteRegValue("A", SettingValue::Int32(1), "", 2, "Software\\x\\y"), 0);
  EXPECT_FALSE(std::filesystem::exists(ConfigDir()));
  AppTitle.clear();
  EXPECT_EQ(WriteRegValue("A", SettingValue::Int32(1)), 0);
  EXPECT_EQ(ReadRegValue("A", SettingValue::Int32(3)), "3");
}

}  // namespace
}  // namespace ampora
