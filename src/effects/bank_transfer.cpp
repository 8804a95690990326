#include "effects/bank_transfer.h"

#include "effects/effect_catalogue.h"
#include "settings/setting_number.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {
namespace {

constexpr std::array<const char*, 4> kLevelKeys = {"LevelInL", "LevelInR", "LevelOutL",
                                                   "LevelOutR"};

// A section of a settings file (file: empty = the program's), read with write-back.
class FileSection {
 public:
  FileSection(const std::string& file, const std::string& section)
      : file_(file), section_(section) {}
  std::string Read(const std::string& key, const SettingValue& defaultValue) {
    return ReadIniValue(key, defaultValue, file_, section_, 1);
  }
  void Write(const std::string& key, const SettingValue& value) {
    WriteIniValue(key, value, file_, section_);
  }

 private:
  const std::string& file_;
  const std::string& section_;
};

// A value that is no number keeps the default, alone: the keys after it are read all
// the same. Counts such keys in `unreadable`.
template <class Section>
int32_t ReadBankValue(Section& section, const std::string& key, int32_t defaultValue,
                      const std::atomic<int>& errorCatch, int& unreadable) {
  int32_t value = defaultValue;
  if (!TrapErrors(errorCatch, [&] {
        value = SettingInt32(section.Read(key, SettingValue::Int32(defaultValue)));
      })) {
    ++unreadable;
  }
  return value;
}

template <class Section>
void WriteLevels(const BankLevels& levels, Section& section) {
  const std::array<int32_t, 4> values = {levels.LevelIn[0], levels.LevelIn[1], levels.LevelOut[0],
                                         levels.LevelOut[1]};
  for (size_t k = 0; k < kLevelKeys.size(); ++k) {
    section.Write(kLevelKeys[k], SettingValue::Int32(values[k]));
  }
}

// Returns the number of keys whose value was no number.
template <class Section>
int Transfer(int mode, Section& section, FxParamTable& fx, BankLevels& levels,
             const std::atomic<int>& errorCatch) {
  int unreadable = 0;
  const std::array<int32_t*, 4> levelSlots = {&levels.LevelIn[0], &levels.LevelIn[1],
                                              &levels.LevelOut[0], &levels.LevelOut[1]};
  for (size_t k = 0; k < kLevelKeys.size(); ++k) {
    *levelSlots[k] = ReadBankValue(section, kLevelKeys[k], 0, errorCatch, unreadable);
  }
  for (int e = 0; e < kEffectCount; ++e) {
    for (int row = 0; row < kParamRows; ++row) {
      int32_t& value = fx[FxIndex(e, row)];
      if (value == kNoParam) continue;
      const std::string key = ParamKey(e, row);
      if (mode == kSaveBank) {
        section.Write(key, SettingValue::Int32(value));
      } else {
        value = ReadBankValue(section, key, value, errorCatch, unreadable);
      }
    }
  }
  return unreadable;
}

// 1 when every key was handled, 0 when a value could not be read or the transfer ended
// early.
template <class Section>
int TransferCounted(int mode, Section& section, FxParamTable& fx, BankLevels& levels,
                    const std::atomic<int>& errorCatch) {
  int unreadable = 0;
  const bool completed =
      TrapErrors(errorCatch, [&] { unreadable = Transfer(mode, section, fx, levels, errorCatch); });
  return completed && unreadable == 0 ? 1 : 0;
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
  FileSection fileSection(file, section);
  WriteLevels(levels, fileSection);
}

void WriteBankLevels(const BankLevels& levels, TextSection& section) {
  WriteLevels(levels, section);
}

int TransferEffectParams(int mode, const std::string& section, FxParamTable& fx, BankLevels& levels,
                         const std::string& file) {
  FileSection fileSection(file, section);
  return TransferCounted(mode, fileSection, fx, levels, ErrorCatch);
}

int TransferEffectParams(int mode, TextSection& section, FxParamTable& fx, BankLevels& levels,
                         const std::atomic<int>& errorCatch) {
  return TransferCounted(mode, section, fx, levels, errorCatch);
}

}  // namespace ampora
