#include "settings/settings_store.h"

#include "settings/profile_file.h"
#include "settings/save_failure.h"
#include "settings/settings_location.h"
#include "settings/stored_text.h"
#include "settings/user_store.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/text.h"

namespace ampora {

std::string AppTitle;
std::string SettingsIniPath;

namespace {

constexpr const char* kDefaultSection = "conf";
constexpr const char* kAbsent = "ISDEFAULT";

std::string FileOrDefault(const std::string& file) {
  return file.empty() ? ProgramSettingsFile() : file;
}

std::string SectionOrDefault(const std::string& section) {
  return section.empty() ? kDefaultSection : section;
}

// The file when it exists, else empty text.
std::string IfExists(const std::string& file) {
  return FileExists(file) ? file : std::string();
}

}  // namespace

SettingsStore ResolveSettingsStore(const std::string& storeName, int mode) {
  SettingsStore store;
  TrapErrors([&] {
    if (!storeName.empty()) {
      const std::string file = IfExists(SettingsFileFor(storeName));
      store =
          file.empty() ? SettingsStore{kUserStore, storeName} : SettingsStore{kProfileFile, file};
    } else if (mode == 1) {
      const std::string file = IfExists(ProgramSettingsFile());
      store = file.empty() ? SettingsStore{kUserStore, ""} : SettingsStore{kProfileFile, file};
    } else if (!SettingsIniPath.empty()) {
      store = {kProfileFile, SettingsIniPath};
    } else {
      store = {kUserStore, AppTitle};
    }
  });
  return store;
}

std::string ReadSetting(const std::string& key, const SettingValue& defaultValue, int mode,
                        const std::string& storeName) {
  std::string result;
  TrapErrors([&] {
    const SettingsStore store = ResolveSettingsStore(storeName, mode);
    if (store.kind == kUserStore) result = ReadRegValue(key, defaultValue, store.target);
    if (store.kind == kProfileFile) result = ReadIniValue(key, defaultValue, store.target);
  });
  return result;
}

void WriteSetting(const std::string& key, const SettingValue& value, int mode,
                  const std::string& storeName) {
  TrapErrors([&] {
    const SettingsStore store = ResolveSettingsStore(storeName, mode);
    if (store.kind == kUserStore) WriteRegValue(key, value, store.target);
    if (store.kind == kProfileFile) WriteIniValue(key, value, store.target);
  });
}

std::string ReadIniValue(const std::string& key, const SettingValue& defaultValue,
                         const std::string& file, const std::string& section, int writeBack) {
  std::string result;
  TrapErrors([&] {
    std::optional<std::string> value =
        ReadableIniValue(ReadProfileString(FileOrDefault(file), SectionOrDefault(section), key));
    if (!value) {
      value = ReadText(defaultValue.ToText());
      if (writeBack == 1) WriteIniValue(key, defaultValue, file, section);
    }
    result = std::move(*value);
  });
  return result;
}

std::optional<std::string> ReadableIniValue(const std::optional<std::string>& stored) {
  // Blanks the cut leaves at the end go as well: the file trims them around a value, so
  // a value the program writes back reads the same the next time.
  std::string value(
      TrimBlanks(CutToBytes(BeforeNul(stored.value_or(kAbsent)), kIniValueReadBytes)));
  if (value == kAbsent) return std::nullopt;
  return ReadText(std::move(value));
}

void WriteIniValue(const std::string& key, const SettingValue& value, const std::string& file,
                   const std::string& section) {
  TrapErrors([&] {
    const std::string path = FileOrDefault(file);
    if (!WriteProfileString(path, SectionOrDefault(section), key, StoredText(value))) {
      ReportUnsavedSettings(path);
    }
  });
}

}  // namespace ampora
