#include "settings/text_section.h"

#include "settings/settings_store.h"
#include "settings/stored_text.h"

namespace ampora {

std::string TextSection::Read(const std::string& key, const SettingValue& defaultValue) {
  if (std::optional<std::string> value = ReadableIniValue(text_.Get(section_, key))) {
    return std::move(*value);
  }
  Write(key, defaultValue);
  return ReadText(defaultValue.ToText());
}

void TextSection::Write(const std::string& key, const SettingValue& value) {
  text_.Set(section_, key, StoredText(value));
}

}  // namespace ampora
