#pragma once

#include <cstdint>
#include <string>

#include "settings/setting_value.h"

// The per-user key-value store that stands where the registry would: one store per key
// path, each a small file of "name=value" lines (section "values") under the user's
// configuration folder. The key path "Software\company\application" (backslashes,
// letters compared case-insensitively) is the file
//   $XDG_CONFIG_HOME/company/application.conf   (~/.config/... by default).
// Without a key path it is "Software\" + the lower-cased company name of the build +
// "\" + the lower-cased application name (empty = AppTitle).
//
// Hive 0 is the current user's; no other hive exists here: reads give the default and
// writes fail. A key path or application name that is empty or has an empty, "." or ".."
// component, a "/" or a NUL names no store either.
//
// Values keep 255 bytes at most (whole UTF-8 characters); empty text is stored as "***".
//
// Thread: UI thread only.

namespace ampora {

// The value, trimmed of blanks and cut at its first NUL; the default's text form when
// the store or the value is missing.
std::string ReadRegValue(const std::string& valueName, const SettingValue& defaultValue,
                         const std::string& appName = "", int32_t hive = 0,
                         const std::string& keyPath = "");

// 1 when the value was stored, 0 otherwise.
int32_t WriteRegValue(const std::string& valueName, const SettingValue& value,
                      const std::string& appName = "", int32_t hive = 0,
                      const std::string& keyPath = "");

void DeleteRegValue(const std::string& valueName, const std::string& appName = "", int32_t hive = 0,
                    const std::string& keyPath = "");

// Deletes the store of one application (empty = AppTitle) under the company key path
// (empty = "Software\" + lower-cased company name). Nothing else goes: not the
// company's other stores, and nothing at all when no application name is known.
void DeleteRegAppKey(const std::string& appName = "", int32_t hive = 0,
                     const std::string& companyKeyPath = "");

}  // namespace ampora
