#pragma once

#include <array>
#include <cstdint>

// The working setting of the chain: 17 rows x 16 effects of 32-bit integers at the
// flat index effect + 16 x row. Row 0 is on (exactly 1) or off; rows 1..16 are the
// parameters in editor units; kNoParam marks a row the effect does not use.

namespace ampora {

inline constexpr int kEffectCount = 16;
inline constexpr int kParamRows = 17;
inline constexpr int32_t kNoParam = -9999;

enum EffectIndex : int {
  kLimiter = 0,
  kCompressor = 1,
  kEnhancer = 2,
  kOverDrive = 3,
  kDistortion = 4,
  kFuzz = 5,
  kGraphicEq = 6,
  kPitchShift = 7,
  kTremolo = 8,
  kFlanger = 9,
  kPhaser = 10,
  kChorus = 11,
  kVibrato = 12,
  kEcho = 13,
  kDelay = 14,
  kReverb = 15,
};

using FxParamTable = std::array<int32_t, kEffectCount * kParamRows>;

constexpr int FxIndex(int effect, int row) {
  return effect + kEffectCount * row;
}

// An effect runs only when its row 0 holds exactly this value; anything else is off.
inline constexpr int32_t kEffectOn = 1;

constexpr bool IsEffectOn(const FxParamTable& fx, int effect) {
  return fx[FxIndex(effect, 0)] == kEffectOn;
}

// A row in percent as the 32-bit factor an effect keeps (50 -> 0.5f): the quotient in
// double, rounded once to float.
constexpr float PercentFactor(int32_t percent) {
  return static_cast<float>(percent / 100.0);
}

}  // namespace ampora
