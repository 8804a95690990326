#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/effect_catalogue.h"

// The plugin's ports, declared once: the plugin connects and reads them by this table,
// and the Turtle description that hosts read is written from it. Control ports come from
// the effect catalogue, so their names, ranges, defaults and units are the editor's.
//
// Index order: the mono input, the two outputs, the latency, the bank, the input level,
// the two output levels, then each effect in the order the signal passes through them
// (the pitch shifter first), its on/off switch followed by its parameters.
//
// Symbols are what hosts store in their sessions, so they never change: "in", "out_l",
// "out_r", "latency", "Bank", "LevelIn", "LevelOutL", "LevelOutR", and for each effect
// the key of its bank-file row with "_" for "-": "Limiter_01" is the Limiter's on/off,
// "Limiter_02" its first parameter, "GraphicEQ_17" the equaliser's level.
//
// Thread: any (the table is built once and then only read).

namespace ampora {

enum class PortRole {
  kAudioIn,
  kAudioOutLeft,
  kAudioOutRight,
  kLatency,  // control output: frames of latency
  kBank,     // control input: 0 keeps the working setting, 1..12 loads that bank
  kLevelIn,  // control inputs: fader levels in dB
  kLevelOutLeft,
  kLevelOutRight,
  kEffectRow,  // control input: one row of FxParam
};

struct PortSpec {
  PortRole role;
  std::string symbol;
  std::string name;  // UTF-8, as the program shows it
  // Control ports: the range and default; every control value is an integer.
  int32_t min = 0;
  int32_t max = 0;
  int32_t defaultValue = 0;
  ParamUnit unit = kUnitless;
  bool toggled = false;  // on/off switches
  int effect = -1;       // kEffectRow: the effect and row of FxParam
  int row = -1;
};

inline constexpr uint32_t kInPort = 0;
inline constexpr uint32_t kOutLeftPort = 1;
inline constexpr uint32_t kOutRightPort = 2;
inline constexpr uint32_t kLatencyPort = 3;
inline constexpr uint32_t kBankPort = 4;
inline constexpr uint32_t kLevelInPort = 5;
inline constexpr uint32_t kLevelOutLeftPort = 6;
inline constexpr uint32_t kLevelOutRightPort = 7;
inline constexpr uint32_t kFirstEffectPort = 8;

// Every port, at its index.
const std::vector<PortSpec>& PluginPorts();

// The bank port's highest value: the twelve banks of a settings file.
inline constexpr int32_t kBankPortMax = 12;

}  // namespace ampora
