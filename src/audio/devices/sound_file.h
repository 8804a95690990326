#pragma once

#include <sndfile.h>

#include <memory>

// Sound files through libsndfile, as the built-in "WAV file" input and the offline
// renderer read them and the renderer writes them.
//
// Thread: the thread that opened the file.

namespace ampora {

struct SndFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

// An open sound file, closed when the handle goes.
using SoundFile = std::unique_ptr<SNDFILE, SndFileCloser>;

// A file that can be read: at least one channel, at a rate libsamplerate converts to any
// stream rate (ratios up to 256 either way).
inline bool IsReadableFormat(const SF_INFO& info) {
  constexpr int kMinRate = 1000;
  constexpr int kMaxRate = 768000;
  return info.channels >= 1 && info.samplerate >= kMinRate && info.samplerate <= kMaxRate;
}

}  // namespace ampora
