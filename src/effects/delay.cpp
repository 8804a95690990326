#include "effects/delay.h"

#include "effects/ring_history.h"
#include "util/rounding.h"

namespace ampora {

void Delay::Apply(const FxParamTable& fx, int32_t sampleRate) {
  delayLeft_ = FramesOfMs(fx[FxIndex(kDelay, 1)], sampleRate);
  delayRight_ = FramesOfMs(fx[FxIndex(kDelay, 2)], sampleRate);
  wet_ = PercentFactor(fx[FxIndex(kDelay, 3)]);
  dry_ = PercentFactor(fx[FxIndex(kDelay, 4)]);
}

void Delay::Run(const StageBlock& block) {
  const int32_t ringLen = block.ringLen;
  const double dry = dry_;  // products in double, from the 32-bit factors
  const double wet = wet_;
  int32_t nLeft = WrapIndex(static_cast<int64_t>(block.start) - delayLeft_, ringLen);
  int32_t nRight = WrapIndex(static_cast<int64_t>(block.start) - delayRight_, ringLen);
  for (int32_t k = block.start; k <= block.end; ++k) {
    const Frame x = block.in[k];
    const int32_t left = RoundInt32(x.left * dry + block.in[nLeft].left * wet);
    const int32_t right = RoundInt32(x.right * dry + block.in[nRight].right * wet);
    block.out[k] = Frame{Clip(left), Clip(right)};
    if (++nLeft == ringLen) nLeft = 0;
    if (++nRight == ringLen) nRight = 0;
  }
}

}  // namespace ampora
