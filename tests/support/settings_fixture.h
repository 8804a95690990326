#pragma once

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_store.h"
#include "support/temp_folder.h"
#include "util/files.h"
#include "util/folders.h"

namespace ampora::test {

// A program folder and a configuration home of their own, both temporary: the tests
// never touch the real home or the build folder.
class SettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolders(AppDir()));
    OverrideAppFolder(AppDir());
    AppTitle = "ampora";
    SettingsIniPath = IniPath();
  }
  void TearDown() override {
    OverrideAppFolder("");
    AppTitle.clear();
    SettingsIniPath.clear();
  }

  std::string AppDir() const { return temp_.path() + "app/"; }
  std::string ConfigDir() const { return temp_.path() + "config/"; }
  std::string IniPath() const { return AppDir() + "ampora.ini"; }
  std::string IniText() const { return ReadFileText(IniPath()); }

 private:
  TempFolder temp_;
  ScopedEnv config_{"XDG_CONFIG_HOME", temp_.path() + "config/"};
};

}  // namespace ampora::test
