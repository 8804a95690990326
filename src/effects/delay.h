#pragma once

#include <cstdint>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// Delay: one feed-forward tap per channel, mixed with the direct signal. No state but
// the parameters.
//
// Thread: UI thread (Apply from the editor and bank loads, Run from the chain's pass).
// Both may raise RuntimeError (a delay beyond the 32-bit range, a level that overflows).
class Delay {
 public:
  // Left delay row 1 and right delay row 2 in ms (sampleRate \ 1000 frames each),
  // delayed level row 3 and direct level row 4 in percent.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Both samples of the block from block.in (and its history) to block.out.
  void Run(const StageBlock& block);

 private:
  int32_t delayLeft_ = 0;  // frames; any value, reads wrap modulo the ring
  int32_t delayRight_ = 0;
  float wet_ = 0.0f;
  float dry_ = 0.0f;
};

}  // namespace ampora
