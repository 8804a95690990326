#pragma once

#include <cstdint>

#include "audio/frame.h"

namespace ampora {

// What one effect sees of one pass of the chain: the current stage ring it reads (the
// whole ring, so frames before start are the stage's recent history), its own ring it
// writes, and the block start..end (start <= end < ringLen; a block never wraps).
struct StageBlock {
  const Frame* in = nullptr;
  Frame* out = nullptr;
  int32_t ringLen = 0;
  int32_t start = 0;
  int32_t end = 0;
};

}  // namespace ampora
