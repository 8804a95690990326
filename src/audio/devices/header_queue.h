#pragma once

#include <algorithm>
#include <cstdint>

#include "audio/devices/spsc_ring.h"
#include "audio/devices/wave_header.h"
#include "audio/stream_format.h"

namespace ampora {

// The headers queued to one wave device, in the order the engine queued them. The UI
// thread adds; the device thread works on the front header and finishes it.
class HeaderQueue {
 public:
  // More than the blocks of any ring (at most 3006).
  static constexpr uint32_t kCapacity = 4096;

  HeaderQueue() : ring_(kCapacity) {}

  // UI thread. Clears the header's done flag and queues it; false when the queue is full.
  bool Add(WaveHeader* header) {
    header->ClearDone();
    return ring_.Push(header);
  }
  // UI thread, only while the device thread is stopped: marks every queued header done
  // (returned as it is) and empties the queue.
  void ReturnAll() {
    while (Front() != nullptr) FinishFront();
  }

  // Device thread: the header being worked on, nullptr when none is queued.
  WaveHeader* Front() const { return ring_.Available() > 0 ? ring_.Peek(0) : nullptr; }
  // Device thread: whether a header is queued behind the front one.
  bool HasSecond() const { return ring_.Available() > 1; }
  // Device thread: marks the front header done and moves to the next.
  void FinishFront() {
    ring_.Peek(0)->MarkDone();
    ring_.Drop(1);
  }

 private:
  SpscRing<WaveHeader*> ring_;
};

// Frames of a header: its byte length in whole frames, never negative.
inline int32_t HeaderFrames(const WaveHeader& header) {
  return std::max<int32_t>(header.byteLength, 0) / BlockAlign;
}

}  // namespace ampora
