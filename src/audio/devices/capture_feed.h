#pragma once

#include <atomic>
#include <cstdint>

#include "audio/devices/header_queue.h"
#include "audio/frame.h"

namespace ampora {

// The capture side of a wave input device: the engine queues headers, the device thread
// copies what it captured into them in queue order and marks each one done when full.
// Frames that arrive while no header is queued are dropped; the position counts only the
// frames that reached a header.
class CaptureFeed {
 public:
  // UI thread. Clears the header's done flag and queues it; false when the queue is full.
  bool Queue(WaveHeader* header) { return queue_.Add(header); }
  // UI thread, only while the device thread is stopped: returns every queued header
  // (marked done, partly filled or empty) and sets the position and the drops to 0.
  void ReturnAll() {
    queue_.ReturnAll();
    dropped_.store(0, std::memory_order_relaxed);
  }
  // Any thread: frames delivered into headers since the device started.
  int64_t FramesDelivered() const { return queue_.Frames(); }
  // Any thread: frames dropped since the device started because no header was queued.
  int64_t FramesDropped() const { return dropped_.load(std::memory_order_relaxed); }

  // Device thread: copies count frames into the queued headers.
  void Deliver(const Frame* frames, int32_t count);

 private:
  HeaderQueue queue_;
  std::atomic<int64_t> dropped_{0};
};

}  // namespace ampora
