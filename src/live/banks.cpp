#include "live/banks.h"

#include "effects/effect_catalogue.h"
#include "settings/settings_store.h"
#include "util/text.h"

namespace ampora {

namespace {

// The bytes of a control character at the start of the text, 0 for none: C0 controls and
// DEL, the C1 controls (U+0080..U+009F) and the line and paragraph separators (U+2028,
// U+2029), as UTF-8.
std::size_t ControlCharacterBytes(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (byte(0) < 0x20 || byte(0) == 0x7F) return 1;
  if (text.size() >= 2 && byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F) return 2;
  if (text.size() >= 3 && byte(0) == 0xE2 && byte(1) == 0x80 &&
      (byte(2) == 0xA8 || byte(2) == 0xA9)) {
    return 3;
  }
  return 0;
}

}  // namespace

std::string StorableBankName(std::string_view typed) {
  std::string name;
  name.reserve(typed.size());
  for (std::size_t i = 0; i < typed.size();) {
    const std::size_t control = ControlCharacterBytes(typed.substr(i));
    if (control > 0) {
      name += ' ';
      i += control;
    } else {
      name += typed[i];
      ++i;
    }
  }
  return std::string(TrimBlanks(CutToBytes(TrimBlanks(name), kIniValueReadBytes)));
}

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
  if (bankName) WriteIniValue(kBankNameKey, SettingValue::Text(*bankName), file, section);
  WriteBankLevels(levels.Stored(), section, file);
  // The transfer reads the levels back from the section; they are the ones just written.
  BankLevels readBack;
  TransferEffectParams(kSaveBank, section, chain.FxParam, readBack, file);
}

}  // namespace ampora
