#pragma once

#include <cstdint>

#include "audio/sample_rate.h"

namespace ampora {

// The timing settings as the configuration dialog allows them. Values read from a
// hand-edited settings file are brought into these ranges before anything is sized.
inline constexpr float kBufferMsMin = 1.0f, kBufferMsMax = 30.0f, kBufferMsDefault = 7.0f;
inline constexpr float kDelayMinMsMin = 1.0f, kDelayMinMsMax = 1000.0f, kDelayMinMsDefault = 20.0f;
inline constexpr float kDelayMaxMsMin = 2.0f, kDelayMaxMsMax = 1000.0f, kDelayMaxMsDefault = 70.0f;

// Frames per block in tuner mode.
inline constexpr int32_t kTunerBlockLen = 2048;

// value limited to lo..hi; NaN gives fallback.
float ClampSetting(float value, float lo, float hi, float fallback);

// The block arithmetic of the stream: block length, ring size and the lag window in
// frames at the stream's rate, from settings already within their ranges.
struct BlockLayout {
  int32_t SampleRate = 0;
  int32_t BlockLen = 0;
  int32_t BlockCount = 0;
  int32_t RingLen = 0;
  int32_t DelayMinFrames = 0;
  int32_t DelayMaxFrames = 0;
};

// sampleRate: kMinSampleRate..kMaxSampleRate.
BlockLayout ComputeBlockLayout(float bufferMs, float delayMinMs, float delayMaxMs, bool tunerOn,
                               int32_t sampleRate = kDefaultSampleRate);

}  // namespace ampora
