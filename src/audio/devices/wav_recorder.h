#pragma once

#include <atomic>
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

  // UI thread. Creates (or overwrites) the file at sampleRate; false with a message in
  // error.
  bool Open(const std::string& path, int32_t sampleRate, std::string& error);
  // UI thread, once the device thread no longer pushes: writes what is left and closes.
  void Close();

  // Device thread. Frames that do not fit (the writer is more than about 3 s behind) are
  // dropped.
  void Push(const Frame* frames, int32_t count) { queue_.Push(frames, count); }

 private:
  void WriteQueued();

  SpscRing<Frame> queue_;
  std::vector<Frame> chunk_;  // writer thread
  SNDFILE* file_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread writer_;
};

}  // namespace ampora
