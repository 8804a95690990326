#pragma once

#include <cstdint>
#include <string>

// The sample rate is a property of the open stream: the device's rate (a JACK server's,
// or 44100 where the device takes it). Everything that depends on it (block lengths, the
// rings, the lag window, the effects' times and frequencies, the tuner's bins) is derived
// from the rate handed over when the stream is set up; settings and banks hold
// milliseconds and percentages, so a bank sounds the same at every rate.

namespace ampora {

// The rate where nothing else decides it: the built-in devices, file inputs, renders.
inline constexpr int32_t kDefaultSampleRate = 44100;
inline constexpr int32_t kMinSampleRate = 22050;
inline constexpr int32_t kMaxSampleRate = 192000;

constexpr bool IsSupportedSampleRate(int64_t rate) {
  return rate >= kMinSampleRate && rate <= kMaxSampleRate;
}

// The message that refuses a device's rate outside kMinSampleRate..kMaxSampleRate.
std::string UnsupportedSampleRateText(int64_t rate);

}  // namespace ampora
