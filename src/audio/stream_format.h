#pragma once

#include <cstdint>

#include "audio/sample_rate.h"

namespace ampora {

// The stream format: 16-bit stereo PCM at the stream's rate (audio/sample_rate.h).
inline constexpr int16_t Channels = 2;
inline constexpr int16_t BitsPerSample = 16;
inline constexpr int16_t BlockAlign = Channels * BitsPerSample / 8;

}  // namespace ampora
