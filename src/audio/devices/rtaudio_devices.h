#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/callback_gate.h"
#include "audio/devices/capture_feed.h"
#include "audio/devices/play_feed.h"
#include "audio/devices/wave_device.h"

class RtAudio;

// The sound cards and audio servers, through RtAudio: JACK, ALSA or PulseAudio (also
// PipeWire's PulseAudio service). One input stream and one output stream, each its own
// RtAudio stream, exchanging float samples that are converted exactly to and from the
// 16-bit frames of the rings (RtAudio's own 16-bit conversion wraps floats below -1).

namespace ampora {

struct RealDevice {
  std::string name;
  uint32_t rtAudioId = 0;  // the device's number in RtAudio
  int32_t channels = 0;    // 1 or 2 are used
};

struct RealDeviceList {
  int32_t api = 0;      // RtAudio::Api; 0 = none
  std::string apiName;  // "jack", "alsa", "pulse"; empty when none
  std::vector<RealDevice> inputs;
  std::vector<RealDevice> outputs;
  int32_t defaultInput = -1;  // index into inputs, -1 when there are none
  int32_t defaultOutput = -1;
};

// Lists the devices of the audio interface named apiName ("jack", "alsa", "pulse", or
// their display names, in any case); an empty or unknown name takes the first compiled
// interface that has devices. Never throws; a failing interface lists nothing.
//
// Thread: UI thread.
RealDeviceList ScanRealDevices(const std::string& apiName);

// Thread: the WaveInDevice members on the UI thread; the stream callback on RtAudio's
// thread (or the JACK server's), where it only converts and copies frames.
class RtAudioWaveIn final : public WaveInDevice {
 public:
  // devices: the list the ids refer to; it must outlive the device.
  explicit RtAudioWaveIn(const RealDeviceList& devices);
  ~RtAudioWaveIn() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Queue(WaveHeader* header) override;
  int32_t Start() override;
  int64_t PositionBytes() const override;
  void Close() override;

 private:
  static int Callback(void* out, void* in, unsigned int frames, double, unsigned int, void* self);

  const RealDeviceList& devices_;
  DeviceFailure failure_;
  std::unique_ptr<RtAudio> audio_;
  int32_t channels_ = 0;
  std::vector<Frame> chunk_;  // callback thread
  CallbackGate gate_;
  CaptureFeed feed_;
};

class RtAudioWaveOut final : public WaveOutDevice {
 public:
  explicit RtAudioWaveOut(const RealDeviceList& devices);
  ~RtAudioWaveOut() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Write(WaveHeader* header) override;
  int64_t PositionBytes() const override;
  void Close() override;

 private:
  static int Callback(void* out, void* in, unsigned int frames, double, unsigned int, void* self);

  const RealDeviceList& devices_;
  DeviceFailure failure_;
  std::unique_ptr<RtAudio> audio_;
  std::atomic<int32_t> channels_{0};  // read by the callback also while the gate is closed
  std::vector<Frame> chunk_;          // callback thread
  CallbackGate gate_;
  PlayFeed feed_;
};

}  // namespace ampora
