#pragma once

#include <cstdint>

namespace ampora {

// The fixed stream format: 16-bit stereo PCM at 44100 frames per second.
inline constexpr int32_t SampleRate = 44100;
inline constexpr int16_t Channels = 2;
inline constexpr int16_t BitsPerSample = 16;
inline constexpr int16_t BlockAlign = Channels * BitsPerSample / 8;

}  // namespace ampora
