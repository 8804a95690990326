#pragma once

// The names under which hosts know the plugin and the values of its state.
//
// Thread: any (constants).

namespace ampora {

inline constexpr const char* kPluginUri = "https://ampora.invalid/lv2/chain";
// The prefix of the plugin's own properties ("ampora:" in its description).
#define AMPORA_LV2_PREFIX "https://ampora.invalid/lv2/chain#"
// The working setting, as the text of a bank section (the "[Current]" section).
inline constexpr const char* kWorkingSettingUri = AMPORA_LV2_PREFIX "workingSetting";
// The settings file whose banks the bank port selects (a path).
inline constexpr const char* kSettingsFileUri = AMPORA_LV2_PREFIX "settingsFile";

}  // namespace ampora
