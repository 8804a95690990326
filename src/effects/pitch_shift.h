#pragma once

#include <cstdint>
#include <vector>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// "PitchShift" (effect 7): transposes the mono (left) input stage by resampling. Every
// G blocks (at blocks whose index in the ring is a multiple of G) it builds a grain of
// G blocks by reading the recent input at the ratio r, crossfades the grain's start with
// the continuation of the previous grain (the tail), and plays the grain block by block,
// mixed with the direct signal. With r = 1 the shifted signal is the input delayed by
// exactly the look-back Lb outside the crossfades.
//
// A ratio is taken when the grain fits the ring and the reads stay within one ring
// length before the block: the look-back Lb, about 2.6 blocks x r for large ratios, is at
// most RingLen, and the grain of G = round(4 / r + 2) blocks is no longer than the ring
// (the cycle restarts at the ring's first block, so a longer one would never be played
// to its end). Any other ratio, including 0, a negative one or one that is not finite,
// makes Apply() raise the trap and leave the previous setting in place.
//
// Thread: UI thread only, every member.
class PitchShift {
 public:
  // ApplyEffectParams(7) for blocks of shape.blockLen frames (1..shape.sampleRate, at most
  // a second) in rings of shape.ringLen frames: derives the ratio, grain, crossfade and look-back
  // from rows 1..4 and reallocates the grain and tail buffers zero-filled, so the shifted part is
  // silent until the next grain. Raises the trap for a shape or ratio out of range,
  // changing nothing then. The chain must call it again whenever the shape changes.
  void Apply(const FxParamTable& fx, const RingShape& shape);

  // One block of the shape given to Apply(): reads block.in (the input stage, with its
  // history), writes block.out left samples. Raises the trap for a block or ring of
  // another length (or before the first Apply()).
  void Run(const StageBlock& block);

  float Ratio() const { return ratio_; }
  int32_t GrainBlocks() const { return grainBlocks_; }
  int32_t CrossfadeLength() const { return crossfadeLen_; }
  int32_t AveragingCount() const { return averaging_; }
  int32_t LookBack() const { return lookBack_; }

 private:
  void BuildGrain(const StageBlock& block);

  int32_t blockLen_ = 0;
  int32_t ringLen_ = 0;
  float ratio_ = 1.0f;
  float wet_ = 0.0f;
  float dry_ = 0.0f;
  int32_t grainBlocks_ = 0;
  int32_t crossfadeLen_ = 0;
  int32_t averaging_ = 0;
  int32_t lookBack_ = 0;
  std::vector<int16_t> grain_;
  std::vector<int16_t> tail_;
  std::vector<float> fadeOut_;
  std::vector<float> fadeIn_;
};

}  // namespace ampora
