#include "settings/user_store.h"

#include <optional>
#include <vector>

#include "settings/profile_file.h"
#include "settings/save_failure.h"
#include "settings/settings_store.h"
#include "settings/store_name.h"
#include "settings/stored_text.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"
#include "util/text.h"
#include "version.h"

namespace ampora {

namespace {

constexpr const char* kValuesSection = "values";
constexpr std::size_t kValueLimitBytes = 255;

std::string CompanyKeyPath() {
  return "Software\\" + LowerAscii(kCompanyName);
}

std::string AppNameOrTitle(const std::string& appName) {
  return appName.empty() ? AppTitle : appName;
}

std::string DerivedKeyPath(const std::string& appName) {
  return LowerAscii(CompanyKeyPath() + "\\" + AppNameOrTitle(appName));
}

std::vector<std::string> KeyPathParts(const std::string& keyPath) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = keyPath.find('\\', begin);
    parts.push_back(LowerAscii(keyPath.substr(begin, end - begin)));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  return parts;
}

// The store file of a key path, or nothing when the path names no store.
std::optional<std::string> StoreFile(int32_t hive, const std::string& keyPath) {
  if (hive != 0) return std::nullopt;
  std::vector<std::string> parts = KeyPathParts(keyPath);
  if (parts.size() > 1 && parts.front() == "software") parts.erase(parts.begin());
  std::string file = UserConfigFolder();
  if (file.empty()) return std::nullopt;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!IsSafeStoreName(parts[i])) return std::nullopt;
    file += parts[i] + (i + 1 < parts.size() ? "/" : ".conf");
  }
  return file;
}

// The store file for an operation's arguments.
std::optional<std::string> StoreFileFor(const std::string& appName, int32_t hive,
                                        const std::string& keyPath) {
  if (!keyPath.empty()) return StoreFile(hive, keyPath);
  if (AppNameOrTitle(appName).empty()) return std::nullopt;
  return StoreFile(0, DerivedKeyPath(appName));
}

std::string FolderOf(const std::string& file) {
  return file.substr(0, file.rfind('/') + 1);
}

}  // namespace

std::string ReadRegValue(const std::string& valueName, const SettingValue& defaultValue,
                         const std::string& appName, int32_t hive, const std::string& keyPath) {
  std::string result;
  TrapErrors([&] {
    result = defaultValue.ToText();
    if (const auto file = StoreFileFor(appName, hive, keyPath)) {
      if (const auto stored = ReadProfileString(*file, kValuesSection, valueName)) {
        result = CutAtNul(CutToBytes(*stored, kValueLimitBytes));
      }
    }
    result = ReadText(std::move(result));
  });
  return result;
}

int32_t WriteRegValue(const std::string& valueName, const SettingValue& value,
                      const std::string& appName, int32_t hive, const std::string& keyPath) {
  int32_t written = 0;
  TrapErrors([&] {
    const auto file = StoreFileFor(appName, hive, keyPath);
    if (!file) return;
    written = MakeFolders(FolderOf(*file)) &&
              WriteProfileString(*file, kValuesSection, valueName, StoredText(value));
    if (written == 0) ReportUnsavedSettings(*file);
  });
  return written;
}

void DeleteRegValue(const std::string& valueName, const std::string& appName, int32_t hive,
                    const std::string& keyPath) {
  TrapErrors([&] {
    if (const auto file = StoreFileFor(appName, hive, keyPath)) {
      DeleteProfileKey(*file, kValuesSection, valueName);
    }
  });
}

void DeleteRegAppKey(const std::string& appName, int32_t hive, const std::string& companyKeyPath) {
  TrapErrors([&] {
    const std::string app = LowerAscii(AppNameOrTitle(appName));
    if (app.empty()) return;
    const std::string company = companyKeyPath.empty() ? CompanyKeyPath() : companyKeyPath;
    const int32_t storeHive = companyKeyPath.empty() ? 0 : hive;
    if (const auto file = StoreFile(storeHive, company + "\\" + app)) DeleteProfileFile(*file);
  });
}

}  // namespace ampora
