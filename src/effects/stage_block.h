#pragma once

#include <cstdint>

#include "audio/frame.h"
#include "audio/sample_rate.h"

namespace ampora {

// What an effect that lets pending events run in the middle of its block (the equaliser)
// asks before it touches the rings again: an event may have restarted the stream, which
// re-allocates the rings the block points into.
class RingGuard {
 public:
  virtual bool RingsReplaced() const = 0;

 protected:
  ~RingGuard() = default;
};

// The block and ring lengths and the rate of the stream, which size the state of an
// effect that depends on them (the pitch shifter's grain, and how far back it may read).
struct RingShape {
  int32_t blockLen = 0;
  int32_t ringLen = 0;
  int32_t sampleRate = kDefaultSampleRate;
  bool operator==(const RingShape&) const = default;
};

// What one effect sees of one pass of the chain: the current stage ring it reads (the
// whole ring, so frames before start are the stage's recent history), its own ring it
// writes, and the block start..end (start <= end < ringLen; a block never wraps).
struct StageBlock {
  const Frame* in = nullptr;
  Frame* out = nullptr;
  int32_t ringLen = 0;
  int32_t start = 0;
  int32_t end = 0;
  // Set by the chain; nullptr where nothing can replace the rings during the block.
  const RingGuard* guard = nullptr;
};

}  // namespace ampora
