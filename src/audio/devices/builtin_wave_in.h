#pragma once

#include <string>
#include <vector>

#include "audio/devices/capture_feed.h"
#include "audio/devices/device_clock.h"
#include "audio/devices/wave_device.h"

namespace ampora {

// The built-in inputs, which need no sound card: "demo guitar" (a plucked-string riff),
// "test tone", "silence" and "WAV file" (a file, looped), generated or converted at the
// rate they are opened with. Captured in real time on the clock's thread.
//
// Thread: the WaveInDevice members on the UI thread; Advance on the clock's thread.
class BuiltinWaveIn final : public WaveInDevice, private ClockedDevice {
 public:
  // Device ids 0.. of this device, in this order.
  static const std::vector<std::string>& Names();

  BuiltinWaveIn(DeviceClock& clock, std::string wavPath);
  ~BuiltinWaveIn() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Queue(WaveHeader* header) override;
  int32_t Start() override;
  int64_t PositionBytes() const override;
  DeviceCounts Counts() const override { return {feed_.HeadersFilled(), feed_.FramesDropped()}; }
  void Close() override;

 private:
  void Advance(int32_t frames) override;

  DeviceClock& clock_;
  std::string wavPath_;
  DeviceFailure failure_;
  bool open_ = false;
  int32_t sampleRate_ = kDefaultSampleRate;  // of the open stream
  std::vector<Frame> loop_;                  // what is captured, repeated; never empty while open
  size_t loopPos_ = 0;                       // clock thread while running
  CaptureFeed feed_;
};

}  // namespace ampora
