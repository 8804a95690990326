#pragma once

#include <cmath>
#include <cstdint>

#include "util/rounding.h"

// Exact conversions between 16-bit samples and the float samples of audio servers:
// s -> s / 32768 and back gives s for every 16-bit value. Floats outside the 16-bit range
// are clipped and NaN becomes 0, so nothing a server delivers can wrap.

namespace ampora {

inline float SampleToFloat(int16_t sample) {
  return static_cast<float>(sample) * (1.0f / 32768.0f);
}

inline int16_t FloatToSample(float value) {
  if (std::isnan(value)) return 0;
  const double scaled = static_cast<double>(value) * 32768.0;
  if (scaled >= 32767.0) return 32767;
  if (scaled <= -32768.0) return -32768;
  return static_cast<int16_t>(RoundHalfEvenSmall(scaled));
}

}  // namespace ampora
