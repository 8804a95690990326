#pragma once

#include <string>

#include "settings/profile_text.h"
#include "settings/setting_value.h"

// One section of a settings text held in memory, read and written by the settings file's
// rules (ReadIniValue and WriteIniValue in settings/settings_store.h) without a file:
// for a settings file read whole, or a working setting that a plugin host keeps.
//
// Thread: any one thread at a time per text (no shared state).

namespace ampora {

class TextSection {
 public:
  // The text must outlive the object.
  TextSection(ProfileText& text, std::string section) : text_(text), section_(std::move(section)) {}

  // The key's value as ReadIniValue reads it; the default's text when absent, which is
  // then written into the text.
  std::string Read(const std::string& key, const SettingValue& defaultValue);
  // Stores the value as WriteIniValue does; a key or value the format cannot hold is
  // left out.
  void Write(const std::string& key, const SettingValue& value);

 private:
  ProfileText& text_;
  std::string section_;
};

}  // namespace ampora
