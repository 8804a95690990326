#pragma once

#include <cstdint>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// What tells the members of the sweep family apart. Delays are in frames at the rate the
// effect is applied at.
struct SweepShape {
  EffectIndex effect;
  double rateDivisor;  // LFO rate in Hz = row 1 / rateDivisor
  int32_t (*baseDelay)(int32_t sampleRate);
  // Depth in frames = round(row 2 / 100 x depthScale(sampleRate) / depthDivisor), in that
  // order.
  double (*depthScale)(int32_t sampleRate);
  double depthDivisor;
  bool hasLevel;  // dry 10/15 and wet row 3 / 150; without: no dry part, wet 1
};

extern const SweepShape kFlangerShape;
extern const SweepShape kPhaserShape;
extern const SweepShape kChorusShape;
extern const SweepShape kVibratoShape;

// Flanger, Phaser, Chorus and Vibrato: the mono signal read back at a position that a sine
// LFO sweeps around a base delay. The read does not interpolate: it averages the stage
// over the span the read position moved across since the previous frame (the first
// sample weighted by the part not covered before, the last by the part now reached). The
// LFO phase and the read position only ever advance and persist while the effect is off,
// so the first frame after a pause averages over everything in between.
//
// Thread: UI thread (Apply from the editor and bank loads, Run from the chain's pass).
// Both may raise RuntimeError (a rate of 0, a depth or level that overflows).
class SweepEffect {
 public:
  explicit SweepEffect(const SweepShape& shape)
      : shape_(shape), baseDelay_(shape.baseDelay(kDefaultSampleRate)) {}

  // Rate row 1, depth row 2, level row 3 (when the shape has one) of the shape's effect,
  // and the base delay, at sampleRate. Phases and read positions are kept.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Left samples of the block from block.in (and its history) to block.out.
  void Run(const StageBlock& block);

 private:
  SweepShape shape_;
  int32_t baseDelay_ = 0;
  double increment_ = 0.0;
  int32_t depth_ = 0;
  float dry_ = 0.0f;
  float wet_ = 0.0f;
  double phase_ = 0.0;
  // The previous frame's read position: integer part (64-bit, so that no position a
  // hand-edited depth produces can overflow) and fraction.
  int64_t prevPos_ = 0;
  float prevFrac_ = 0.0f;
};

}  // namespace ampora
