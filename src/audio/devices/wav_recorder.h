#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/devices/spsc_ring.h"
#include "audio/frame.h"

typedef struct sf_private_tag SNDFILE;

namespace ampora {

// Writes what the built-in output "WAV recorder" plays to a 16-bit stereo WAV file. The
// device thread only hands frames over through a lock-free queue; a writer thread of the
// recorder's own puts them into the file.
class WavRecorder {
 public:
  WavRecorder();
  ~WavRecorder();

  // UI thread. Creates (or overwrites) the file at sampleRate and sizes the queue for the
  // rate; false with a message in error.
  bool Open(const std::string& path, int32_t sampleRate, std::string& error);
  // UI thread, once the device thread no longer pushes: writes what is left and closes.
  void Close();

  // Device thread, while open. Frames that do not fit (the writer is more than about 3 s
  // behind, at any rate) are dropped; returns how many were taken.
  int32_t Push(const Frame* frames, int32_t count) {
    return queue_ ? queue_->Push(frames, count) : 0;
  }

 private:
  void WriteQueued();

  std::optional<SpscRing<Frame>> queue_;  // allocated by Open, on the UI thread
  std::vector<Frame> chunk_;              // writer thread
  SNDFILE* file_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread writer_;
};

}  // namespace ampora
