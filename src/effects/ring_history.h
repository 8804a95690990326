#pragma once

#include <cstdint>

#include "util/rounding.h"

// Reading the history of a stage ring: delays in frames and the wrap of a ring index.
// Delays come from banks that may be hand-edited, so an index may lie any distance
// before or after the ring, not just one ring length away.

namespace ampora {

// Maps any frame index k into 0..ringLen-1 (ringLen > 0), modulo the ring length. The
// usual case (k at most one ring length outside) costs a compare or two.
inline int32_t WrapIndex(int64_t k, int32_t ringLen) {
  if (k >= 0) {
    if (k < ringLen) return static_cast<int32_t>(k);
    if (k < 2 * static_cast<int64_t>(ringLen)) return static_cast<int32_t>(k - ringLen);
    return static_cast<int32_t>(k % ringLen);
  }
  if (k >= -static_cast<int64_t>(ringLen)) return static_cast<int32_t>(k + ringLen);
  const int64_t r = k % ringLen;
  return static_cast<int32_t>(r == 0 ? 0 : r + ringLen);
}

// A delay in whole milliseconds as frames at sampleRate. Echo and Delay count a
// millisecond as the integer quotient sampleRate \ 1000 (44 frames at 44100 Hz). Raises
// kOverflow outside the 32-bit range.
inline int32_t FramesOfMs(int32_t ms, int32_t sampleRate) {
  return RoundInt32(static_cast<double>(sampleRate / 1000) * ms);
}

}  // namespace ampora
