#pragma once

#include <string>

#include "settings/setting_value.h"

// The one place where persistent values are read and written: section "conf" of the
// settings file (or a named section), with a per-user key-value store in the place of
// the registry. Reads never fail: a missing file, section or key gives the default.
//
// Thread: UI thread only.

namespace ampora {

// Set once at start-up, before the first read. Empty until then.
extern std::string AppTitle;
extern std::string SettingsIniPath;

// Reads key from the resolved store; the default's text form when absent (and, for the
// settings file, the default is written back).
std::string ReadSetting(const std::string& key, const SettingValue& defaultValue, int mode = 0,
                        const std::string& storeName = "");
void WriteSetting(const std::string& key, const SettingValue& value, int mode = 0,
                  const std::string& storeName = "");

// File-level operations; empty file = the program's settings file, empty section = "conf".
std::string ReadIniValue(const std::string& key, const SettingValue& defaultValue,
                         const std::string& file = "", const std::string& section = "",
                         int writeBack = 1);
void WriteIniValue(const std::string& key, const SettingValue& value,
                   const std::string& file = "", const std::string& section = "");

}  // namespace ampora
