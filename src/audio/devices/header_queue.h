#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "audio/devices/spsc_ring.h"
#include "audio/devices/wave_header.h"
#include "audio/stream_format.h"

namespace ampora {

// Frames of a header: its byte length in whole frames, never negative.
inline int32_t HeaderFrames(const WaveHeader& header) {
  return std::max<int32_t>(header.byteLength, 0) / BlockAlign;
}

// The headers queued to one wave device, in the order the engine queued them, and how far
// the device thread has got through them. The UI thread adds; the device thread moves
// frames through the front header and finishes it when all its frames are through.
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
  // (returned as it is), empties the queue and sets the frame count to 0.
  void ReturnAll() {
    while (ring_.Available() > 0) FinishFront();
    frontFrames_ = 0;
    frames_.store(0, std::memory_order_relaxed);
  }
  // Any thread: frames moved through headers since the last ReturnAll.
  int64_t Frames() const { return frames_.load(std::memory_order_relaxed); }
  // Any thread: headers the device thread got through, since the queue was made (the ones
  // ReturnAll hands back unfinished do not count).
  int64_t HeadersFinished() const { return finished_.load(std::memory_order_relaxed); }

  // Device thread: moves up to count frames through the queued headers in order and
  // returns how many found a header. move(header, from, n, done) handles frames
  // [from, from + n) of the header, which are frames [done, done + n) of this call. A
  // header without whole frames takes none and is finished at once.
  template <class Move>
  int32_t Walk(int32_t count, Move&& move) {
    int32_t done = 0;
    while (done < count && ring_.Available() > 0) {
      WaveHeader& header = *ring_.Peek(0);
      const int32_t n = std::min(HeaderFrames(header) - frontFrames_, count - done);
      if (n > 0) {
        move(header, frontFrames_, n, done);
        frontFrames_ += n;
        done += n;
      }
      if (frontFrames_ >= HeaderFrames(header)) {
        FinishFront();
        frontFrames_ = 0;
        finished_.store(finished_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
      }
    }
    frames_.store(frames_.load(std::memory_order_relaxed) + done, std::memory_order_relaxed);
    return done;
  }
  // Device thread: whether a header is queued behind the front one.
  bool HasSecond() const { return ring_.Available() > 1; }

 private:
  // Marks the front header done and moves to the next.
  void FinishFront() {
    ring_.Peek(0)->MarkDone();
    ring_.Drop(1);
  }

  SpscRing<WaveHeader*> ring_;
  int32_t frontFrames_ = 0;  // frames of the front header already moved; device thread
  std::atomic<int64_t> frames_{0};
  std::atomic<int64_t> finished_{0};  // written by the device thread only
  static_assert(std::atomic<int64_t>::is_always_lock_free);
};

}  // namespace ampora
