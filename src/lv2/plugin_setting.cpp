#include "lv2/plugin_setting.h"

#include "audio/stream_buffers.h"
#include "effects/effect_catalogue.h"
#include "live/level_fader.h"
#include "live/levels.h"
#include "settings/profile_file.h"
#include "settings/text_section.h"
#include "util/files.h"

namespace ampora {

namespace {

// The levels as the program's faders make them of stored values.
BankLevels FaderLevels(const BankLevels& stored) {
  FaderModel in(true);
  FaderModel out;
  StreamBuffers gains;
  Levels levels(in, out, gains);
  levels.LoadLevels(stored);
  return levels.Stored();
}

ChainSetting ReadSection(ProfileText& profile, const std::string& section,
                         const std::atomic<int>& errorCatch) {
  ChainSetting setting = DefaultSetting();
  TextSection source(profile, section);
  BankLevels stored;
  TransferEffectParams(0, source, setting.fx, stored, errorCatch);
  setting.levels = FaderLevels(stored);
  return setting;
}

}  // namespace

ChainSetting DefaultSetting() {
  ChainSetting setting;
  ResetEffectParams(setting.fx);
  return setting;
}

ChainSetting ReadSetting(const std::string& text, const std::string& section,
                         const std::atomic<int>& errorCatch) {
  ProfileText profile(text);
  return ReadSection(profile, section, errorCatch);
}

std::string SettingText(const ChainSetting& setting, const std::atomic<int>& errorCatch) {
  ProfileText profile("");
  TextSection target(profile, kCurrentSection);
  WriteBankLevels(setting.levels, target);
  FxParamTable fx = setting.fx;
  BankLevels readBack;
  TransferEffectParams(kSaveBank, target, fx, readBack, errorCatch);
  return profile.text();
}

std::optional<SettingsFileBanks> ReadSettingsFileBanks(const std::string& path,
                                                       const std::atomic<int>& errorCatch) {
  std::optional<std::string> text = ReadWholeFile(path, kMaxProfileFileBytes);
  if (!text) return std::nullopt;
  ProfileText profile(std::move(*text));
  SettingsFileBanks file{path, {}};
  for (int bank = 0; bank < kBankPortMax; ++bank) {
    file.banks[bank] = ReadSection(profile, BankSection(bank), errorCatch);
  }
  return file;
}

}  // namespace ampora
