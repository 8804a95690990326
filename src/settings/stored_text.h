#pragma once

#include <string>

#include "settings/setting_value.h"

// The value encoding shared by the settings file and the per-user store: empty text is
// stored as "***", so that it differs from a missing value.
//
// Thread: any (pure functions).

namespace ampora {

inline constexpr const char* kEmptyTextMarker = "***";

// The text stored for a value.
inline std::string StoredText(const SettingValue& value) {
  std::string text = value.ToText();
  return text.empty() ? kEmptyTextMarker : text;
}

// The text a stored value reads as.
inline std::string ReadText(std::string stored) {
  return stored == kEmptyTextMarker ? std::string() : stored;
}

}  // namespace ampora
