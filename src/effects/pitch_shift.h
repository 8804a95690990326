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
// Ratios outside 1/16..16 (four octaves each way; the editor reaches 0.45..2.2), including
// a ratio of 0, a negative one or one that is not finite, make Apply() raise the trap and
// leave the previous setting in place: the grain grows as 4 / r and the averaging as r,
// so the bound keeps a grain within 66 blocks and an output sample within 17 reads.
//
// Thread: UI thread only, every member.
class PitchShift {
 public:
  static constexpr float kMinRatio = 0.0625f;
  static constexpr float kMaxRatio = 16.0f;

  // ApplyEffectParams(7) for blocks of blockLen frames (1..SampleRate): derives the
  // ratio, grain, crossfade and look-back from rows 1..4 and reallocates the grain and
  // tail buffers zero-filled, so the shifted part is silent until the next grain. Raises
  // the trap for a block length or ratio out of range, changing nothing then. The chain
  // must call it again whenever BlockLen changes.
  void Apply(const FxParamTable& fx, int32_t blockLen);

  // One block of the length given to Apply(): reads block.in (the input stage, with its
  // history), writes block.out left samples. Raises the trap for a block of another
  // length (or before the first Apply()).
  void Run(const StageBlock& block);

  float Ratio() const { return ratio_; }
  int32_t GrainBlocks() const { return grainBlocks_; }
  int32_t CrossfadeLength() const { return crossfadeLen_; }
  int32_t AveragingCount() const { return averaging_; }
  int32_t LookBack() const { return lookBack_; }

 private:
  void BuildGrain(const StageBlock& block);

  int32_t blockLen_ = 0;
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
