#pragma once

#include <cstdint>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

// The dynamics effects: Limiter, Compressor and Enhancer. Each works sample by sample on
// the left (mono) signal of its block and writes only the left samples of its ring.
//
// Thread: UI thread. Apply is ApplyEffectParams for the effect; Run is its step of
// ProcessBlock. Both may raise RuntimeError (the chain traps it); call Apply before the
// first Run. State persists across blocks and across switching the effect off and on.

namespace ampora {

// Peak limiter with a fixed 2 ms attack: a sample above the threshold pulls the gain
// linearly down to threshold / |x| within 2 ms (88.2 frames at 44100 Hz); the gain then
// rises again at the release rate. Apply resets the gain and the target but keeps the
// attack step.
class Limiter {
 public:
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // An error resets gain, target and step.
  void Run(const StageBlock& block);

 private:
  void RunFrames(const StageBlock& block);

  float attackLength_ = static_cast<float>(kDefaultSampleRate / 500.0);  // frames
  int32_t threshold_ = 0;
  float release_ = 0.0f;  // gain rise per frame
  float mix_ = 0.0f;      // share of the removed signal that is added back
  float level_ = 0.0f;
  float gain_ = 1.0f;
  float target_ = 1.0f;
  float step_ = 0.0f;  // gain fall per frame during an attack, 0 outside one
};

// A sample above the threshold aims the gain at threshold / |x| x attack; the gain then
// travels there during the samples that are not above the threshold and relaxes to the
// resting gain at the release rate. Apply resets the gain to 1 and the target to the
// resting gain but keeps the step.
class Compressor {
 public:
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  void Run(const StageBlock& block);

 private:
  float attackLength_ = static_cast<float>(kDefaultSampleRate / 500.0);  // frames
  int32_t threshold_ = 0;
  float release_ = 0.0f;  // gain change per frame toward the resting gain
  float attack_ = 0.0f;   // factor on the gain aimed at above the threshold
  float rest_ = 0.0f;     // resting gain
  float level_ = 0.0f;
  float gain_ = 1.0f;
  float target_ = 0.0f;
  float step_ = 0.0f;  // gain change per frame toward the target, 0 outside an attack
};

// Adds the first difference of the signal to the direct signal. The previous input
// sample is kept across blocks and never reset.
class Enhancer {
 public:
  void Apply(const FxParamTable& fx);
  void Run(const StageBlock& block);

 private:
  float amount_ = 0.0f;  // weight of the difference, 0..3 in the editor's range
  float direct_ = 0.0f;
  int32_t previous_ = 0;
};

}  // namespace ampora
