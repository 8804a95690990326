#include "audio/devices/builtin_wave_in.h"

#include <algorithm>

#include "audio/devices/generated_inputs.h"
#include "audio/devices/wav_file_input.h"
#include "audio/stream_format.h"

namespace ampora {

namespace {
enum Input : int32_t { kDemoGuitar, kTestTone, kSilence, kWavFile };
// The loop of "silence" and of an empty file.
constexpr size_t kSilenceFrames = 256;
}  // namespace

const std::vector<std::string>& BuiltinWaveIn::Names() {
  static const std::vector<std::string> names{"demo guitar", "test tone", "silence", "WAV file"};
  return names;
}

BuiltinWaveIn::BuiltinWaveIn(DeviceClock& clock, std::string wavPath)
    : clock_(clock), wavPath_(std::move(wavPath)) {}

BuiltinWaveIn::~BuiltinWaveIn() {
  Close();
}

int32_t BuiltinWaveIn::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  if (deviceId < 0 || deviceId >= static_cast<int32_t>(Names().size())) {
    return failure_.Fail(kDeviceBadId);
  }
  if (!IsStreamWaveFormat(format)) return failure_.Fail(kDeviceBadFormat);
  sampleRate_ = format.samplesPerSec;
  loop_.clear();
  switch (deviceId) {
    case kDemoGuitar:
      loop_ = DemoGuitarRiff(sampleRate_);
      break;
    case kTestTone:
      loop_ = TestTone(sampleRate_);
      break;
    case kWavFile:
      if (std::string error; !LoadWavFile(wavPath_, sampleRate_, loop_, error)) {
        return failure_.Fail(kDeviceFailed, error);
      }
      break;
    default:
      break;
  }
  if (loop_.empty()) loop_.assign(kSilenceFrames, Frame{});
  loopPos_ = 0;
  open_ = true;
  return kDeviceOk;
}

int32_t BuiltinWaveIn::Queue(WaveHeader* header) {
  if (!open_) return kDeviceNotOpen;
  return feed_.Queue(header) ? kDeviceOk : kDeviceQueueFull;
}

int32_t BuiltinWaveIn::Start() {
  if (!open_) return kDeviceNotOpen;
  clock_.Run(*this, sampleRate_);
  return kDeviceOk;
}

int64_t BuiltinWaveIn::PositionBytes() const {
  return feed_.FramesDelivered() * BlockAlign;
}

void BuiltinWaveIn::Close() {
  clock_.Halt(*this);
  feed_.ReturnAll();
  open_ = false;
  loop_.clear();
}

void BuiltinWaveIn::Advance(int32_t frames) {
  while (frames > 0) {
    const int32_t n = std::min(frames, static_cast<int32_t>(loop_.size() - loopPos_));
    feed_.Deliver(loop_.data() + loopPos_, n);
    loopPos_ = (loopPos_ + static_cast<size_t>(n)) % loop_.size();
    frames -= n;
  }
}

}  // namespace ampora
