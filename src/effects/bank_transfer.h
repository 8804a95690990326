#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "effects/fx_param.h"
#include "settings/text_section.h"

// Banks in the settings file: the working setting in section "Current", the twelve banks
// in "Bank01" .. "Bank12". A section holds the four fader levels and one key per used
// row of FxParam: FxName + "-" + the row + 1 as two digits ("Limiter-01" is the
// Limiter's on/off value, "GraphicEQ-17" the equaliser's level).
//
// Thread: UI thread only (through the settings store); on a text in memory, any one
// thread at a time.

namespace ampora {

inline constexpr const char* kCurrentSection = "Current";

// The section of bank 0..11 ("Bank01" .. "Bank12"); a negative bank is "Current".
std::string BankSection(int bank);

// The key of one row of an effect in a bank section.
std::string ParamKey(int effect, int row);

// The fader levels in dB (left, right) stored with every bank.
struct BankLevels {
  std::array<int32_t, 2> LevelIn{};
  std::array<int32_t, 2> LevelOut{};
};

// Writes the four levels into a section: what a bank store does before the transfer.
// file: empty = the program's settings file.
void WriteBankLevels(const BankLevels& levels, const std::string& section,
                     const std::string& file = "");

inline constexpr int kSaveBank = 1;  // TransferEffectParams mode; any other value loads

// Moves the levels and FxParam between memory and a section of the settings file.
// Both modes first read the four levels (a missing one is 0 and written back). Saving
// then writes every row that holds a parameter; loading reads them, with the value in
// the table as the default that a missing key gets and writes back (a load is preceded
// by ResetEffectParams, so that is the catalogue default). Rows marked kNoParam are
// neither written nor read.
//
// A value that is not a number (typed into the file by hand) keeps the default of its
// key, and every other key is read all the same: nothing the file holds is lost but
// the value that cannot be read. Returns 1 when every key was handled, 0 when a value
// could not be read or the transfer ended early. file: empty = the program's settings
// file. Under the caller's SettingsBatch the whole bank is one replacement of the file,
// also when the transfer ends early (what was written back before the stop stays written).
int TransferEffectParams(int mode, const std::string& section, FxParamTable& fx, BankLevels& levels,
                         const std::string& file = "");

// The same on a section of a settings text in memory, which alone is read and written;
// errorCatch is the switch that decides whether an error is trapped.
void WriteBankLevels(const BankLevels& levels, TextSection& section);
int TransferEffectParams(int mode, TextSection& section, FxParamTable& fx, BankLevels& levels,
                         const std::atomic<int>& errorCatch);

}  // namespace ampora
