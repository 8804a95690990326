#pragma once

#include <string>
#include <vector>

#include "audio/frame.h"

namespace ampora {

// At most this much of a WAV file is played (the rest is cut): five minutes.
inline constexpr int32_t kMaxWavInputSeconds = 300;

// Reads a sound file (WAV and whatever else libsndfile reads) for the built-in input "WAV
// file": the first two channels (a mono file on both), converted to sampleRate when the
// file has another rate. 16-bit files at sampleRate arrive sample for sample unchanged.
// Returns false with a message in error when the file cannot be used.
//
// Thread: UI thread (when the device opens).
bool LoadWavFile(const std::string& path, int32_t sampleRate, std::vector<Frame>& frames,
                 std::string& error);

}  // namespace ampora
