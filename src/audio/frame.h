#pragma once

#include <cstdint>

namespace ampora {

// One stereo frame of the rings: two signed 16-bit samples, left then right.
struct Frame {
  int16_t left = 0;
  int16_t right = 0;
};
static_assert(sizeof(Frame) == 4);

}  // namespace ampora
