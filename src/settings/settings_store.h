#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "settings/setting_value.h"

// The one place where persistent values are read and written: section "conf" of the
// settings file (or a named section), with a per-user key-value store in the place of
// the registry. Reads never fail: a missing file, section or key gives the default.
//
// Thread: UI thread only.

namespace ampora {

// Set once at start-up, before the first read (InitSettingsPaths), and kept for the run.
// Empty until then, unless an operation on the program's file resolved it first
// (ProgramSettingsFile in settings/settings_location.h).
extern std::string AppTitle;
extern std::string SettingsIniPath;

// Where ReadSetting and WriteSetting go.
enum SettingsStoreKind : int { kNoStore = 0, kUserStore = 1, kProfileFile = 2 };
struct SettingsStore {
  SettingsStoreKind kind = kNoStore;
  std::string target;  // the file for kProfileFile, the application name for kUserStore
};

// A store name picks its settings file when that exists, else the per-user store of
// that name. Without one, mode 1 picks the program's settings file when it exists, else
// the per-user store of the title; mode 0 picks SettingsIniPath (existing or not), else the
// per-user store of AppTitle. Files are found by the rule of settings/settings_location.h.
SettingsStore ResolveSettingsStore(const std::string& storeName, int mode);

// Reads key from the resolved store; the default's text form when absent (and, for the
// settings file, the default is written back).
std::string ReadSetting(const std::string& key, const SettingValue& defaultValue, int mode = 0,
                        const std::string& storeName = "");
void WriteSetting(const std::string& key, const SettingValue& value, int mode = 0,
                  const std::string& storeName = "");

// File-level operations; empty file = the program's settings file, empty section = "conf".
// Empty text is stored as "***" and reads back as empty text; a stored "ISDEFAULT" counts
// as absent. A read keeps at most kIniValueReadBytes bytes of a value (whole UTF-8
// characters) and cuts it at its first NUL, without blanks left at its end. With writeBack 1 an
// absent key is written with the default.
inline constexpr std::size_t kIniValueReadBytes = 254;
std::string ReadIniValue(const std::string& key, const SettingValue& defaultValue,
                         const std::string& file = "", const std::string& section = "",
                         int writeBack = 1);
void WriteIniValue(const std::string& key, const SettingValue& value, const std::string& file = "",
                   const std::string& section = "");

// The read rule above for the value stored under a key (nothing: no such key): what a
// read gives, or nothing when the key counts as absent and the default applies.
std::optional<std::string> ReadableIniValue(const std::optional<std::string>& stored);

}  // namespace ampora
