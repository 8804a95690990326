#include "render/render_bank.h"

#include <algorithm>

#include "audio/block_layout.h"
#include "effects/db_to_gain.h"
#include "effects/effect_catalogue.h"
#include "render/render_error.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"
#include "settings/setting_number.h"
#include "settings/settings_store.h"
#include "util/files.h"

namespace ampora {

namespace {

float FaderGain(int32_t db) {
  return DbToGain(static_cast<float>(std::clamp(db, kFaderMinDb, kFaderMaxDb)));
}

}  // namespace

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

void LoadBank(EffectChain& chain, StreamBuffers& stream, const std::string& iniFile,
              const std::string& section) {
  ResetEffectParams(chain.FxParam);
  BankLevels levels;
  TransferEffectParams(0, section, chain.FxParam, levels, iniFile);
  ApplyFaderLevels(levels, stream);
  for (int effect = 0; effect < kEffectCount; ++effect) {
    chain.FxResync[effect] = true;
    chain.ApplyEffectParams(effect);
  }
}

void ApplyFaderLevels(const BankLevels& levels, StreamBuffers& stream) {
  const float in = FaderGain(levels.LevelIn[1]);
  stream.InGain = {in, in};
  stream.OutGain = {FaderGain(levels.LevelOut[0]), FaderGain(levels.LevelOut[1])};
}

}  // namespace ampora
