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
  // (marked done) and sets the position to 0.
  void ReturnAll() {
    queue_.ReturnAll();
    started_ = false;
  }
  // Any thread: frames of headers played since the device started.
  int64_t FramesPlayed() const { return queue_.Frames(); }
  // Any thread, counted since the feed was made: headers played whole, and frames of
  // silence played after the first header of a start, when the engine did not keep up (no
  // header queued, or a lengthened block's borrowed frames not final yet); the silence
  // before the first header is the stream's start, not a gap.
  int64_t HeadersPlayed() const { return queue_.HeadersFinished(); }
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
  bool started_ = false;          // a header was played since the last ReturnAll; device thread
  std::atomic<int64_t> gaps_{0};  // written by the device thread only
};

}  // namespace ampora
