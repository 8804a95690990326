#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "effects/effect_chain.h"
#include "live/levels.h"

// Loading and storing a bank section of the settings file with everything that follows
// from it: the effects' state and the levels. The main window adds the bank name and
// what its controls show (live/live_path.h); the offline renderer uses these as they are.
//
// Thread: UI thread (the settings store), or the one thread of the offline renderer.

namespace ampora {

// Loads a section ("Current", "Bank01".."Bank12") as a working setting: the default
// setting first, then the section's values (missing keys are written back with their
// defaults), the levels through the faders into the gains, and every effect reseeded and
// recomputed. Returns the status text of the output level. file: empty = the program's
// settings file.
std::string LoadBankSection(EffectChain& chain, Levels& levels, const std::string& section,
                            const std::string& file = "");

// Stores the levels and the working setting into a section, with the bank's name when
// one is given ("Current" has none). Under the caller's SettingsBatch, one replacement of
// the file for the whole bank.
void SaveBankSection(EffectChain& chain, const Levels& levels, const std::string& section,
                     const std::optional<std::string>& bankName, const std::string& file = "");

// A typed bank name as the settings file can keep it: line breaks, tabs and other control
// characters become spaces (a name is one line of the file), blanks at the ends go, and
// at most the bytes a read gives back stay (whole UTF-8 characters).
std::string StorableBankName(std::string_view typed);

// The key of a bank's name in its section, and the name of a bank that never got one.
inline constexpr const char kBankNameKey[] = "BankName";
inline constexpr const char kNoBankName[] = "NoName";

}  // namespace ampora
