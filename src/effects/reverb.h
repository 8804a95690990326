#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "effects/fx_param.h"
#include "effects/random_source.h"
#include "effects/stage_block.h"

namespace ampora {

// Reverb: 25 reflections per channel at random delays with falling gains, low-passed
// (high cut), minus a slowly smoothed copy of that (low cut), mixed with the direct
// signal. Every Apply draws new reflection times; the filter memories persist through
// everything but an arithmetic error in a pass.
//
// Thread: UI thread (Apply from the editor and bank loads, Run from the chain's pass).
// Both may raise RuntimeError (a spread or stereo value that overflows a delay, filter
// coefficients that let the memories overflow).
class Reverb {
 public:
  static constexpr int kTaps = 25;

  // Draws from a clock-seeded generator until another source is given.
  Reverb();
  // The source of the reflection times from now on (a fixed seed makes renders
  // reproducible).
  void UseRandomSource(std::unique_ptr<RandomSource> random);

  // Spread row 1, high cut row 2, low cut row 3, stereo row 4, level row 5, direct row 6;
  // reflection times in frames at sampleRate.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Both samples of the block from block.in (and its history) to block.out. An error
  // clears the filter memories.
  void Run(const StageBlock& block);

 private:
  void RunFrames(const StageBlock& block);

  std::unique_ptr<RandomSource> random_;
  std::array<int32_t, kTaps> delayLeft_{};  // frames; any value, reads wrap modulo the ring
  std::array<int32_t, kTaps> delayRight_{};
  float highCut_ = 0.0f;  // a, and its partner 0.999 - a
  float highCutPartner_ = 0.0f;
  float lowCut_ = 0.0f;  // b, and its partner 1 - b
  float lowCutPartner_ = 0.0f;
  float wet_ = 0.0f;
  float dry_ = 0.0f;
  int32_t lowPassLeft_ = 0;
  int32_t lowPassRight_ = 0;
  int32_t slowLeft_ = 0;
  int32_t slowRight_ = 0;
};

}  // namespace ampora
