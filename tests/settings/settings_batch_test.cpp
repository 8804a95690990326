#include "settings/settings_batch.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "settings/user_store.h"
#include "support/settings_fixture.h"
#include "util/files.h"
#include "util/text.h"
#include "version.h"

namespace ampora {
namespace {

using test::WriteFileText;

class SettingsBatchTest : public test::SettingsFixture {};

TEST_F(SettingsBatchTest, WritesReachTheFileWhenTheOutermostBatchEnds) {
  WriteFileText(IniPath(), "; mine\n[conf]\nBufferMS=20\n");
  {
    SettingsBatch outer;
    {
      SettingsBatch inner;
      WriteSetting("BufferMS", SettingValue::Int32(30));
      EXPECT_EQ(ReadSetting("DelayMinMS", SettingValue::Int32(10)), "10");  // written back
    }
    WriteIniValue("Name", SettingValue::Text("Lead"), "", "Bank01");
    // Reads see the pending values, the file is still the old one.
    EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(0)), "30");
    EXPECT_EQ(ReadIniValue("Name", SettingValue::Text(""), "", "Bank01", 0), "Lead");
    EXPECT_EQ(IniText(), "; mine\n[conf]\nBufferMS=20\n");
  }
  EXPECT_EQ(IniText(), "; mine\n[conf]\nBufferMS=30\nDelayMinMS=10\n[Bank01]\nName=Lead\n");
  // After the batch, writes go straight to the file again.
  WriteSetting("BufferMS", SettingValue::Int32(40));
  EXPECT_EQ(IniText(), "; mine\n[conf]\nBufferMS=40\nDelayMinMS=10\n[Bank01]\nName=Lead\n");
}

TEST_F(SettingsBatchTest, UnchangedFilesAreNotRewritten) {
  WriteFileText(IniPath(), "[conf]\r\nBufferMS = 20\r\n");
  {
    SettingsBatch batch;
    WriteSetting("BufferMS", SettingValue::Int32(20));
    EXPECT_EQ(ReadSetting("BufferMS", SettingValue::Int32(0)), "20");
  }
  WriteSetting("BufferMS", SettingValue::Int32(20));
  EXPECT_EQ(IniText(), "[conf]\r\nBufferMS = 20\r\n");
}

TEST_F(SettingsBatchTest, DeletedUserStoreStaysDeleted) {
  {
    SettingsBatch batch;
    ASSERT_EQ(WriteRegValue("A", SettingValue::Int32(1)), 1);
    DeleteRegAppKey();
    EXPECT_EQ(ReadRegValue("A", SettingValue::Int32(0)), "0");
  }
  EXPECT_FALSE(FileExists(ConfigDir() + LowerAscii(kCompanyName) + "/ampora.conf"));
}

TEST_F(SettingsBatchTest, UnwritableFileIsReportedAndOthersAreWritten) {
  const std::string folderPath = AppDir() + "folder.ini";
  ASSERT_TRUE(MakeFolders(folderPath));
  testing::internal::CaptureStderr();
  {
    SettingsBatch batch;
    WriteIniValue("A", SettingValue::Int32(1), folderPath);
    WriteSetting("B", SettingValue::Int32(2));
  }
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find(folderPath), std::string::npos) << report;
  EXPECT_EQ(IniText(), "[conf]\nB=2\n");
}

}  // namespace
}  // namespace ampora
