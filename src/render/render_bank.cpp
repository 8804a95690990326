#include "render/render_bank.h"

#include "audio/block_layout.h"
#include "render/render_error.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"
#include "settings/setting_number.h"
#include "settings/settings_store.h"
#include "util/files.h"

namespace ampora {

void CheckBankSection(const std::string& iniFile, const std::string& section) {
  if (!FileExists(iniFile)) throw RenderError("settings file " + iniFile + " not found");
  const std::optional<std::string> text = ReadWholeFile(iniFile, kMaxProfileFileBytes);
  if (!text) throw RenderError("cannot read settings file " + iniFile);
  if (!ProfileText(*text).HasSection(section)) {
    throw RenderError("no section [" + section + "] in " + iniFile);
  }
}

float BufferMsSetting(const std::string& iniFile) {
  const std::string text =
      ReadIniValue("BufferMS", SettingValue::Float(kBufferMsDefault), iniFile, "conf", 0);
  return ParseSettingNumber<float>(text).value_or(kBufferMsDefault);
}

}  // namespace ampora
