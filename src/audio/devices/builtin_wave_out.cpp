#include "audio/devices/builtin_wave_out.h"

#include <algorithm>

#include "audio/stream_format.h"

namespace ampora {

namespace {
enum Output : int32_t { kNull, kWavRecorder };
}

const std::vector<std::string>& BuiltinWaveOut::Names() {
  static const std::vector<std::string> names{"null", "WAV recorder"};
  return names;
}

BuiltinWaveOut::BuiltinWaveOut(DeviceClock& clock, std::string recorderPath)
    : clock_(clock), recorderPath_(std::move(recorderPath)) {}

BuiltinWaveOut::~BuiltinWaveOut() {
  Close();
}

int32_t BuiltinWaveOut::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  if (deviceId < 0 || deviceId >= static_cast<int32_t>(Names().size())) {
    return failure_.Fail(kDeviceBadId);
  }
  if (!IsStreamWaveFormat(format)) return failure_.Fail(kDeviceBadFormat);
  if (deviceId == kWavRecorder) {
    if (std::string error; !recorder_.Open(recorderPath_, format.samplesPerSec, error)) {
      return failure_.Fail(kDeviceFailed, error);
    }
    recording_ = true;
  }
  open_ = true;
  clock_.Run(*this, format.samplesPerSec);
  return kDeviceOk;
}

int32_t BuiltinWaveOut::Write(WaveHeader* header) {
  if (!open_) return kDeviceNotOpen;
  return feed_.Write(header) ? kDeviceOk : kDeviceQueueFull;
}

int64_t BuiltinWaveOut::PositionBytes() const {
  return feed_.FramesPlayed() * BlockAlign;
}

void BuiltinWaveOut::Close() {
  clock_.Halt(*this);
  feed_.ReturnAll();
  open_ = false;
  if (recording_) recorder_.Close();
  recording_ = false;
}

void BuiltinWaveOut::Advance(int32_t frames) {
  while (frames > 0) {
    const int32_t n = std::min(frames, static_cast<int32_t>(chunk_.size()));
    const int32_t played = feed_.Pull(chunk_.data(), n);
    if (recording_) recorder_.Push(chunk_.data(), played);
    frames -= n;
  }
}

}  // namespace ampora
