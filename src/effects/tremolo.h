#pragma once

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// Tremolo: the mono signal times (1 + depth x sin(phase)), halved. The phase starts at 0
// with the program and only ever advances: it is neither reset nor wrapped, and it stays
// where it is while the effect is off.
//
// Thread: UI thread (Apply from the editor and bank loads, Run from the chain's pass).
// Both may raise RuntimeError (a rate of 0, a depth that overflows a sample).
class Tremolo {
 public:
  // Rate row 1 in half-hertz steps, depth row 2 in percent.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Left samples of the block from block.in to block.out.
  void Run(const StageBlock& block);

 private:
  double increment_ = 0.0;
  double depth_ = 0.0;
  double phase_ = 0.0;
};

}  // namespace ampora
