#pragma once

#include <cstdint>

#include "util/error_trap.h"

namespace ampora {

// Phase increment per frame of a sine LFO of rateHz at sampleRate: 2 pi / (frames per
// cycle). A rate of 0 divides by zero (a hand-edited bank) and raises kDivisionByZero.
inline double LfoIncrement(double rateHz, int32_t sampleRate) {
  if (rateHz == 0.0) RaiseDivisionByZero();
  return 6.28318530717958 / (sampleRate / rateHz);
}

}  // namespace ampora
