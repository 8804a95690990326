#include "effects/tremolo.h"

#include <cmath>

#include "effects/lfo.h"
#include "util/rounding.h"

namespace ampora {

void Tremolo::Apply(const FxParamTable& fx, int32_t sampleRate) {
  increment_ = LfoIncrement(fx[FxIndex(kTremolo, 1)] * 0.5, sampleRate);
  depth_ = fx[FxIndex(kTremolo, 2)] / 100.0;
}

void Tremolo::Run(const StageBlock& block) {
  for (int32_t i = block.start; i <= block.end; ++i) {
    const int32_t x = block.in[i].left;
    const int32_t v = RoundInt32(std::sin(phase_) * depth_ * x + x);
    // Halving truncates toward zero, so the effect also lowers the level by half.
    block.out[i].left = Clip(v / 2);
    phase_ += increment_;
  }
}

}  // namespace ampora
