#pragma once

#include <atomic>
#include <cstdint>

#include "audio/devices/header_queue.h"
#include "audio/frame.h"

namespace ampora {

// The playing side of a wave output device: the engine writes headers, the device thread
// plays them whole and in order and marks each one done when played. When nothing is
// queued the device plays silence; the position counts only the frames of headers.
class PlayFeed {
 public:
  // UI thread. Clears the header's done flag and queues it; false when the queue is full.
  bool Write(WaveHeader* header) { return queue_.Add(header); }
  // UI thread, only while the device thread is stopped: returns every queued header
  // (marked done) and sets the position and the gaps to 0.
  void ReturnAll() {
    queue_.ReturnAll();
    gaps_.store(0, std::memory_order_relaxed);
  }
  // Any thread: frames of headers played since the device started.
  int64_t FramesPlayed() const { return queue_.Frames(); }
  // Any thread: frames of silence played since the first header began because the engine
  // fell behind (no header queued, or a lengthened block's borrowed frames not final):
  // gaps in the sound.
  int64_t GapFrames() const { return gaps_.load(std::memory_order_relaxed); }

  // Device thread: fills out[0, count) with the next frames to play. The frames taken
  // from headers come first, then silence. Returns how many came from headers.
  int32_t Pull(Frame* out, int32_t count);

 private:
  // Copies frames [from, from + n) of the front header to out.
  void CopyFront(const WaveHeader& header, int32_t from, int32_t n, Frame* out);
  // Device thread: counts frames of silence played in place of late ones.
  void AddGap(int32_t frames);

  HeaderQueue queue_;
  std::atomic<int64_t> gaps_{0};
};

}  // namespace ampora
