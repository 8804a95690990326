#include "effects/bank_transfer.h"

#include "effects/effect_catalogue.h"
#include "settings/setting_number.h"
#include "settings/settings_batch.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {
namespace {

constexpr std::array<const char*, 4> kLevelKeys = {"LevelInL", "LevelInR", "LevelOutL",
                                                   "LevelOutR"};

// A value that is no number keeps the default, alone: the keys after it are read all
// the same. Counts such keys in `unreadable`.
int32_t ReadBankValue(const std::string& key, int32_t defaultValue, const std::string& file,
                      const std::string& section, int& unreadable) {
  int32_t value = defaultValue;
  if (!TrapErrors([&] {
        value =
            SettingInt32(ReadIniValue(key, SettingValue::Int32(defaultValue), file, section, 1));
      })) {
    ++unreadable;
  }
  return value;
}

// Returns the number of keys whose value was no number.
int Transfer(int mode, const std::string& section, FxParamTable& fx, BankLevels& levels,
             const std::string& file) {
  int unreadable = 0;
  const std::array<int32_t*, 4> levelSlots = {&levels.LevelIn[0], &levels.LevelIn[1],
                                              &levels.LevelOut[0], &levels.LevelOut[1]};
  for (size_t k = 0; k < kLevelKeys.size(); ++k) {
    *levelSlots[k] = ReadBankValue(kLevelKeys[k], 0, file, section, unreadable);
  }
  for (int e = 0; e < kEffectCount; ++e) {
    for (int row = 0; row < kParamRows; ++row) {
      int32_t& value = fx[FxIndex(e, row)];
      if (value == kNoParam) continue;
      const std::string key = ParamKey(e, row);
      if (mode == kSaveBank) {
        WriteIniValue(key, SettingValue::Int32(value), file, section);
      } else {
        value = ReadBankValue(key, value, file, section, unreadable);
      }
    }
  }
  return unreadable;
}

}  // namespace

std::string BankSection(int bank) {
  if (bank < 0) return kCurrentSection;
  return "Bank" + ZeroPadded(int64_t{bank} + 1, 2);
}

std::string ParamKey(int effect, int row) {
  return std::string(FxName[effect]) + "-" + ZeroPadded(row + 1, 2);
}

void WriteBankLevels(const BankLevels& levels, const std::string& section,
                     const std::string& file) {
  const std::array<int32_t, 4> values = {levels.LevelIn[0], levels.LevelIn[1], levels.LevelOut[0],
                                         levels.LevelOut[1]};
  for (size_t k = 0; k < kLevelKeys.size(); ++k) {
    WriteIniValue(kLevelKeys[k], SettingValue::Int32(values[k]), file, section);
  }
}

int TransferEffectParams(int mode, const std::string& section, FxParamTable& fx, BankLevels& levels,
                         const std::string& file) {
  // One replacement of the file for the whole bank, also when the transfer ends early:
  // what was written back before the stop stays written.
  SettingsBatch batch;
  int unreadable = 0;
  const bool completed =
      TrapErrors([&] { unreadable = Transfer(mode, section, fx, levels, file); });
  return completed && unreadable == 0 ? 1 : 0;
}

}  // namespace ampora
