#include "effects/echo.h"

#include "effects/ring_history.h"
#include "util/rounding.h"

namespace ampora {

void Echo::Apply(const FxParamTable& fx, int32_t sampleRate) {
  delay_ = FramesOfMs(fx[FxIndex(kEcho, 1)], sampleRate);
  feedback_ = PercentFactor(fx[FxIndex(kEcho, 2)]);
}

void Echo::Run(const StageBlock& block) {
  const double feedback = feedback_;  // products in double, from the 32-bit factor
  int32_t n = WrapIndex(static_cast<int64_t>(block.start) - delay_, block.ringLen);
  for (int32_t k = block.start; k <= block.end; ++k) {
    const bool outsideBlock = n < block.start || n > block.end;
    const int32_t earlier = outsideBlock ? block.out[n].left : block.in[n].left;
    block.out[k].left = ClipRound(block.in[k].left + feedback * earlier);
    if (++n == block.ringLen) n = 0;
  }
}

}  // namespace ampora
