#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/fx_param.h"
#include "support/effect_harness.h"

// Helpers for the tests of the dynamics and drive effects.

namespace ampora::test {

// A parameter table with `effect` on and its rows 1.. set to `rows`; all else kNoParam.
template <class Rows>
FxParamTable ParamsOf(EffectIndex effect, const Rows& rows) {
  FxParamTable fx;
  fx.fill(kNoParam);
  fx[FxIndex(effect, 0)] = 1;
  int row = 1;
  for (int32_t v : rows) fx[FxIndex(effect, row++)] = v;
  return fx;
}

inline FxParamTable ParamsOf(EffectIndex effect, std::initializer_list<int32_t> rows) {
  return ParamsOf<std::initializer_list<int32_t>>(effect, rows);
}

// Left output of an effect run over a mono signal in blocks, as the chain runs it. A last
// partial block is padded with silence that also runs through the effect, so the default
// is one block of exactly the signal's length: the effect's state afterwards is that of
// the signal's end.
template <class Effect>
std::vector<int16_t> RunEffect(Effect& effect, const std::vector<int16_t>& signal,
                               int32_t blockLen = 0) {
  if (blockLen == 0) blockLen = static_cast<int32_t>(signal.size());
  return LeftOf(RunBlocks(signal, blockLen, 4, [&](const StageBlock& b) { effect.Run(b); }));
}

// Applies `fx` to a fresh effect and runs it over the signal.
template <class Effect>
std::vector<int16_t> Render(const FxParamTable& fx, const std::vector<int16_t>& signal,
                            int32_t blockLen = 0) {
  Effect effect;
  effect.Apply(fx);
  return RunEffect(effect, signal, blockLen);
}

struct ParamRange {
  int32_t lo;
  int32_t hi;
};

// Index, editor ranges and defaults of each effect under test.
template <class Effect>
struct UnitTraits;

template <>
struct UnitTraits<Limiter> {
  static constexpr const char* kName = "limiter";
  static constexpr EffectIndex kIndex = kLimiter;
  static constexpr std::array<ParamRange, 4> kRanges{{{1, 100}, {1, 500}, {0, 100}, {0, 300}}};
  static constexpr std::array<int32_t, 4> kDefaults{50, 200, 0, 100};
};

template <>
struct UnitTraits<Compressor> {
  static constexpr const char* kName = "compressor";
  static constexpr EffectIndex kIndex = kCompressor;
  static constexpr std::array<ParamRange, 5> kRanges{
      {{1, 100}, {1, 300}, {0, 300}, {0, 300}, {0, 300}}};
  static constexpr std::array<int32_t, 5> kDefaults{50, 200, 100, 100, 100};
};

template <>
struct UnitTraits<Enhancer> {
  static constexpr const char* kName = "enhancer";
  static constexpr EffectIndex kIndex = kEnhancer;
  static constexpr std::array<ParamRange, 2> kRanges{{{0, 100}, {0, 200}}};
  static constexpr std::array<int32_t, 2> kDefaults{100, 100};
};

// The three drives share rows and ranges: gain, tone, level.
struct DriveTraits {
  static constexpr std::array<ParamRange, 3> kRanges{{{1, 100}, {0, 100}, {0, 200}}};
  static constexpr std::array<int32_t, 3> kDefaults{50, 50, 50};
};

template <>
struct UnitTraits<OverDrive> : DriveTraits {
  static constexpr const char* kName = "overdrive";
  static constexpr EffectIndex kIndex = kOverDrive;
};

template <>
struct UnitTraits<Distortion> : DriveTraits {
  static constexpr const char* kName = "distortion";
  static constexpr EffectIndex kIndex = kDistortion;
};

template <>
struct UnitTraits<Fuzz> : DriveTraits {
  static constexpr const char* kName = "fuzz";
  static constexpr EffectIndex kIndex = kFuzz;
};

// The default parameters of an effect as a table.
template <class Effect>
FxParamTable DefaultParams() {
  return ParamsOf(UnitTraits<Effect>::kIndex, UnitTraits<Effect>::kDefaults);
}

}  // namespace ampora::test
