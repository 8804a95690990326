#include "audio/block_layout.h"

#include <cmath>

#include "audio/stream_format.h"
#include "util/rounding.h"

namespace ampora {

namespace {
int32_t MsToFrames(float ms) {
  return RoundInt32(static_cast<double>(ms) / 1000.0 * SampleRate);
}
}  // namespace

float ClampSetting(float value, float lo, float hi, float fallback) {
  if (std::isnan(value)) return fallback;
  return value < lo ? lo : (value > hi ? hi : value);
}

BlockLayout ComputeBlockLayout(float bufferMs, float delayMinMs, float delayMaxMs, bool tunerOn) {
  BlockLayout layout;
  layout.BlockLen = tunerOn ? kTunerBlockLen : MsToFrames(bufferMs);
  // The rings always hold at most 3 seconds of audio.
  layout.BlockCount = DivInt32(SampleRate * 3, layout.BlockLen);
  layout.RingLen = layout.BlockLen * layout.BlockCount;
  layout.DelayMaxFrames = MsToFrames(delayMaxMs);
  layout.DelayMinFrames = MsToFrames(delayMinMs);
  return layout;
}

}  // namespace ampora
