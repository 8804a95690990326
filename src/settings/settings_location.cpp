#include "settings/settings_location.h"

#include <unistd.h>

#include "settings/profile_file.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"

namespace ampora {

namespace {
constexpr const char* kTitle = "ampora";

bool MayWriteIn(const std::string& folder) {
  return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}
}  // namespace

std::string UserSettingsFolder() {
  const std::string config = UserConfigFolder();
  return config.empty() ? std::string() : config + kTitle + "/";
}

std::string SettingsFileIn(const std::string& programFolder, const std::string& name,
                           bool programFolderWritable) {
  const std::string beside = programFolder + name + ".ini";
  if (programFolderWritable) return beside;
  const std::string userFolder = UserSettingsFolder();
  if (userFolder.empty()) return beside;
  const std::string own = userFolder + name + ".ini";
  if (MakeFolders(userFolder) && !FileExists(own) && FileExists(beside)) {
    if (const auto content = ReadWholeFile(beside, kMaxProfileFileBytes)) {
      ReplaceFileAtomically(own, *content);
    }
  }
  return own;
}

std::string SettingsFileFor(const std::string& name) {
  std::string file;
  TrapErrors([&] {
    const std::string folder = AppFolder();
    file = SettingsFileIn(folder, name, MayWriteIn(folder));
  });
  return file;
}

void InitSettingsPaths() {
  AppTitle = kTitle;
  SettingsIniPath = SettingsFileFor(AppTitle);
}

}  // namespace ampora
