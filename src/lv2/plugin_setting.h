#pragma once

#include <array>
#include <atomic>
#include <optional>
#include <string>

#include "effects/bank_transfer.h"
#include "effects/fx_param.h"
#include "lv2/plugin_ports.h"

// What the plugin plays: a working setting (FxParam and the fader levels) and the banks
// of a settings file, read and written as text by the settings file's rules, without the
// settings store: every instance keeps its own, and nothing is written to a file.
//
// Thread: any one thread at a time per object.

namespace ampora {

// FxParam and the levels as the faders hold them (within -50..50 dB, the input fader's
// two values equal), as loading a bank into the program leaves them.
struct ChainSetting {
  FxParamTable fx{};
  BankLevels levels;
};

// Every effect off, every parameter at its default, the levels at 0 dB.
ChainSetting DefaultSetting();

// The setting of a bank section ("Current", "Bank01".."Bank12") of a settings text, as the
// program loads it: the defaults first, then the section's values, the levels through
// the faders' rules. A missing section gives the default setting; a value that is not a
// number ends the reading there, as in the program.
ChainSetting ReadSetting(const std::string& text, const std::string& section,
                         const std::atomic<int>& errorCatch);

// The setting as a "[Current]" section, the way the program saves its working setting.
std::string SettingText(const ChainSetting& setting, const std::atomic<int>& errorCatch);

// The twelve banks of a settings file and the file they came from.
struct SettingsFileBanks {
  std::string path;
  std::array<ChainSetting, kBankPortMax> banks;
};

// The banks of the file, or nothing when it cannot be read (missing, not a regular file,
// too large to be a settings file).
std::optional<SettingsFileBanks> ReadSettingsFileBanks(const std::string& path,
                                                       const std::atomic<int>& errorCatch);

}  // namespace ampora
