#pragma once

#include <array>
#include <string>
#include <vector>

#include "audio/devices/device_clock.h"
#include "audio/devices/play_feed.h"
#include "audio/devices/wav_recorder.h"
#include "audio/devices/wave_device.h"

namespace ampora {

// The built-in outputs: "null" (plays into nothing) and "WAV recorder" (writes what it
// plays to a WAV file). Played in real time on the clock's thread.
//
// Thread: the WaveOutDevice members on the UI thread; Advance on the clock's thread.
class BuiltinWaveOut final : public WaveOutDevice, private ClockedDevice {
 public:
  // Device ids 0.. of this device, in this order.
  static const std::vector<std::string>& Names();

  BuiltinWaveOut(DeviceClock& clock, std::string recorderPath);
  ~BuiltinWaveOut() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Write(WaveHeader* header) override;
  int64_t PositionBytes() const override;
  int64_t DroppedFrames() const override;
  void Close() override;

 private:
  void Advance(int32_t frames) override;

  DeviceClock& clock_;
  std::string recorderPath_;
  DeviceFailure failure_;
  bool open_ = false;
  bool recording_ = false;
  PlayFeed feed_;
  WavRecorder recorder_;
  std::array<Frame, 256> chunk_{};  // clock thread
};

}  // namespace ampora
