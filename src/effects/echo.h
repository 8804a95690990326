#pragma once

#include <cstdint>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// Echo: a feedback echo on the mono signal, before the chain turns it into stereo. Each
// frame adds the frame one delay earlier times the feedback: taken from the echo's own
// earlier output when that frame lies outside the current block (repeating echoes), from
// the input when it lies inside (a delay shorter than the block echoes once per block).
//
// Thread: UI thread (Apply from the editor and bank loads, Run from the chain's pass).
// Both may raise RuntimeError (a delay beyond the 32-bit range, a feedback that overflows).
class Echo {
 public:
  // Delay row 1 in ms (sampleRate \ 1000 frames each), feedback row 2 in percent.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Left samples of the block from block.in (and the history of block.out) to block.out.
  void Run(const StageBlock& block);

 private:
  int32_t delay_ = 0;  // frames; any value, reads wrap modulo the ring
  float feedback_ = 0.0f;
};

}  // namespace ampora
