#include "live/banks.h"

#include "effects/effect_catalogue.h"
#include "settings/settings_batch.h"
#include "settings/settings_store.h"

namespace ampora {

std::string LoadBankSection(EffectChain& chain, Levels& levels, const std::string& section,
                            const std::string& file) {
  ResetEffectParams(chain.FxParam);
  BankLevels stored;
  TransferEffectParams(0, section, chain.FxParam, stored, file);
  const std::string status = levels.LoadLevels(stored);
  for (int effect = 0; effect < kEffectCount; ++effect) {
    chain.FxResync[effect] = true;
    chain.ApplyEffectParams(effect);
  }
  return status;
}

void SaveBankSection(EffectChain& chain, const Levels& levels, const std::string& section,
                     const std::optional<std::string>& bankName, const std::string& file) {
  SettingsBatch batch;
  if (bankName) WriteIniValue(kBankNameKey, SettingValue::Text(*bankName), file, section);
  WriteBankLevels(levels.Stored(), section, file);
  // The transfer reads the levels back from the section; they are the ones just written.
  BankLevels readBack;
  TransferEffectParams(kSaveBank, section, chain.FxParam, readBack, file);
}

}  // namespace ampora
