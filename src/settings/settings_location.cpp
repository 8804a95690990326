#include "settings/settings_location.h"

#include <unistd.h>

#include <ctime>

#include "settings/profile_file.h"
#include "settings/save_failure.h"
#include "settings/settings_store.h"
#include "settings/store_name.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"
#include "util/pending_file.h"

namespace ampora {

namespace {
constexpr const char* kTitle = "ampora";

bool MayWriteIn(const std::string& folder) {
  return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

// Copies a settings file that came with the program to the user's file; false when the
// user's file cannot be made. A shipped file that cannot be read gives nothing to keep.
bool CopyShippedFile(const std::string& shipped, const std::string& own) {
  const auto content = ReadWholeFile(shipped, kMaxProfileFileBytes);
  return !content || ReplaceFileAtomically(own, *content);
}

void ResolveProgramSettingsFile() {
  AppTitle = kTitle;
  SettingsIniPath = SettingsFileFor(AppTitle);
}
}  // namespace

std::string UserSettingsFolder() {
  const std::string config = UserConfigFolder();
  return config.empty() ? std::string() : config + kTitle + "/";
}

bool IsInstalledProgram(const std::string& programFolder) {
  return !programFolder.empty() &&
         FileExists(programFolder + "../share/applications/" + kTitle + ".desktop");
}

std::string SettingsFileIn(const std::string& programFolder, const std::string& name,
                           ProgramFolderState state) {
  if (!IsSafeStoreName(name)) return {};
  const std::string beside = programFolder + name + ".ini";
  if (state.writable && !state.installed) return beside;
  const std::string userFolder = UserSettingsFolder();
  if (userFolder.empty()) return beside;
  const std::string own = userFolder + name + ".ini";
  const bool folderMade = MakeFolders(userFolder);
  if (FileExists(own) || !FileExists(beside)) return own;
  if (folderMade && CopyShippedFile(beside, own)) return own;
  // Better the shipped settings than none; said at once, not at the first lost change.
  if (!state.writable) ReportUnsavedSettings(beside, "no copy can be made in " + userFolder);
  return beside;
}

std::string SettingsFileFor(const std::string& name) {
  std::string file;
  TrapErrors([&] {
    const std::string folder = AppFolder();
    file = SettingsFileIn(
        folder, name, {.writable = MayWriteIn(folder), .installed = IsInstalledProgram(folder)});
  });
  return file;
}

void InitSettingsPaths() {
  timespec start{};
  clock_gettime(CLOCK_REALTIME, &start);
  ResolveProgramSettingsFile();
  if (!SettingsIniPath.empty()) RemoveAbandonedPendingFiles(SettingsIniPath, start);
}

const std::string& ProgramSettingsFile() {
  if (SettingsIniPath.empty()) ResolveProgramSettingsFile();
  return SettingsIniPath;
}

std::string PathFromSettingsFile(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  const std::string& file = ProgramSettingsFile();
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return path;
  return file.substr(0, slash + 1) + path;
}

}  // namespace ampora
