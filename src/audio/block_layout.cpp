#include "audio/block_layout.h"

#include <cmath>

#include "util/rounding.h"

namespace ampora {

namespace {
int32_t MsToFrames(float ms, int32_t sampleRate) {
  return RoundInt32(static_cast<double>(ms) / 1000.0 * sampleRate);
}
}  // namespace

float ClampSetting(float value, float lo, float hi, float fallback) {
  if (std::isnan(value)) return fallback;
  return value < lo ? lo : (value > hi ? hi : value);
}

BlockLayout ComputeBlockLayout(float bufferMs, float delayMinMs, float delayMaxMs, bool tunerOn,
                               int32_t sampleRate) {
  BlockLayout layout;
  layout.SampleRate = sampleRate;
  layout.BlockLen = tunerOn ? kTunerBlockLen : MsToFrames(bufferMs, sampleRate);
  // The rings always hold at most 3 seconds of audio.
  layout.BlockCount = DivInt32(sampleRate * 3, layout.BlockLen);
  layout.RingLen = layout.BlockLen * layout.BlockCount;
  layout.DelayMaxFrames = MsToFrames(delayMaxMs, sampleRate);
  layout.DelayMinFrames = MsToFrames(delayMinMs, sampleRate);
  return layout;
}

}  // namespace ampora
