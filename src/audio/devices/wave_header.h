#pragma once

#include <atomic>
#include <cstdint>

#include "audio/frame.h"

namespace ampora {

inline constexpr uint32_t kHeaderDone = 1;

// One buffer handed to a wave device: a run of frames of a ring and a done flag.
//
// The engine (UI thread) fills in data and the lengths while the header is not queued;
// queuing it clears the done flag. The device thread sets the flag with release order
// when it has filled (capture) or played (play) the buffer; the engine reads it with
// acquire order, after which the frames are the engine's again.
struct WaveHeader {
  Frame* data = nullptr;
  int32_t byteLength = 0;
  // Play headers only: the trailing bytes that lie in the next block's region of the play
  // ring (a lengthened block). The engine finishes writing them before it writes the next
  // header, so the device reads them only once a later header has been written and plays
  // silence in their place when it gets there earlier.
  int32_t borrowedBytes = 0;
  std::atomic<uint32_t> flags{0};

  bool IsDone() const { return (flags.load(std::memory_order_acquire) & kHeaderDone) != 0; }
  void MarkDone() { flags.store(kHeaderDone, std::memory_order_release); }
  // Before queuing; the queue's own release publishes it.
  void ClearDone() { flags.store(0, std::memory_order_relaxed); }
};

static_assert(std::atomic<uint32_t>::is_always_lock_free);

}  // namespace ampora
