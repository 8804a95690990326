#pragma once

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/effect_catalogue.h"
#include "effects/fx_param.h"
#include "support/effect_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

// Helpers for the tests of the effects.

namespace ampora::test {

// A parameter table with `effect` on and its rows 1.. set to `rows`; all else kNoParam.
inline FxParamTable ParamsOf(EffectIndex effect, std::initializer_list<int32_t> rows) {
  FxParamTable fx;
  fx.fill(kNoParam);
  fx[FxIndex(effect, 0)] = kEffectOn;
  int row = 1;
  for (int32_t v : rows) fx[FxIndex(effect, row++)] = v;
  return fx;
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

// The effect index of each unit under test; its rows, ranges and defaults come from the
// catalogue.
template <class Effect>
constexpr EffectIndex IndexOf() {
  if constexpr (std::is_same_v<Effect, Limiter>) return kLimiter;
  if constexpr (std::is_same_v<Effect, Compressor>) return kCompressor;
  if constexpr (std::is_same_v<Effect, Enhancer>) return kEnhancer;
  if constexpr (std::is_same_v<Effect, OverDrive>) return kOverDrive;
  if constexpr (std::is_same_v<Effect, Distortion>) return kDistortion;
  if constexpr (std::is_same_v<Effect, Fuzz>) return kFuzz;
}

// The effect's name in lower case ("limiter"), for golden files and benchmarks.
template <class Effect>
std::string NameOf() {
  std::string name(FxName[IndexOf<Effect>()]);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// Impulses `spacing` frames apart (the first at frame 0) as a delay swept by an LFO gave
// them back: each comes out spread over the frames whose read span covered it, never
// before `shortest` or after `longest` + 1 frames, and the centres of the impulses range
// from `shortest` to `longest` (within 2 frames) over the LFO's cycle.
inline void ExpectSweptDelays(const std::vector<int16_t>& out, size_t spacing, double shortest,
                              double longest) {
  double least = 1e9, most = 0;
  for (size_t impulse = spacing; impulse + spacing <= out.size(); impulse += spacing) {
    double weightSum = 0, delaySum = 0;
    for (size_t n = impulse; n < impulse + spacing; ++n) {
      if (out[n] == 0) continue;
      const auto delay = static_cast<double>(n - impulse);
      EXPECT_GE(delay, shortest) << "impulse at " << impulse;
      EXPECT_LE(delay, longest + 1) << "impulse at " << impulse;
      weightSum += out[n];
      delaySum += out[n] * delay;
    }
    ASSERT_GT(weightSum, 0) << "impulse at " << impulse << " lost";
    least = std::min(least, delaySum / weightSum);
    most = std::max(most, delaySum / weightSum);
  }
  EXPECT_NEAR(least, shortest, 2);
  EXPECT_NEAR(most, longest, 2);
}

// The catalogue's default setting with the effect switched on.
inline FxParamTable DefaultParamsOf(EffectIndex effect) {
  FxParamTable fx;
  ResetEffectParams(fx);
  fx[FxIndex(effect, 0)] = kEffectOn;
  return fx;
}

// The catalogue's default setting with every effect switched on.
inline FxParamTable EveryEffectOnParams() {
  FxParamTable fx;
  ResetEffectParams(fx);
  for (int e = 0; e < kEffectCount; ++e) fx[FxIndex(e, 0)] = kEffectOn;
  return fx;
}

template <class Effect>
FxParamTable DefaultParams() {
  return DefaultParamsOf(IndexOf<Effect>());
}

}  // namespace ampora::test
