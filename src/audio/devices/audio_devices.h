#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/builtin_wave_in.h"
#include "audio/devices/builtin_wave_out.h"
#include "audio/devices/device_clock.h"
#include "audio/devices/device_config.h"
#include "audio/devices/rtaudio_devices.h"
#include "audio/devices/wave_device.h"

namespace ampora {

// The wave devices of the machine: the real ones of the chosen audio interface first,
// then the built-in ones, so that a machine without a sound card or audio server still
// streams. Device ids are positions in these lists (input and output apart); id -1 is the
// interface's default device, or the first built-in one when there is no real device.
// The lists are taken when the layer is built and on Rescan, so ids stay put in between.
//
// Thread: UI thread.
class AudioDevices {
 public:
  // clock: the time base of the built-in devices; nullptr = real time.
  explicit AudioDevices(DeviceConfig config, DeviceClock* clock = nullptr);
  ~AudioDevices();

  void Rescan();
  // direction: 1 = input, 0 = output.
  std::vector<std::string> Names(int32_t direction) const;
  // The rate a stream on these devices runs at: the real device's (on JACK the server's
  // rate as it is now; on ALSA and PulseAudio 44100 where the device takes it, else the
  // rate it prefers), the input's before the output's. The built-in devices alone stream
  // at 44100, and follow a real device beside them. 44100 where the rate cannot be told
  // (no JACK server answers): opening the devices then says why.
  int32_t StreamRate(int32_t inputId, int32_t outputId) const;
  // The audio interface in use ("jack", "alsa", "pulse"); empty without real devices.
  const std::string& ApiName() const { return real_.apiName; }

  WaveInDevice& WaveIn() { return waveIn_; }
  WaveOutDevice& WaveOut() { return waveOut_; }

 private:
  // Sends the calls of an open device to the real or the built-in device its id names.
  template <class Device>
  class Routed : public Device {
   public:
    Routed(Device& real, Device& builtin, const std::vector<RealDevice>& realList)
        : real_(real), builtin_(builtin), realList_(realList) {}
    int32_t Open(int32_t deviceId, const WaveFormat& format) override;
    std::string ErrorText(int32_t code) const override;
    int64_t PositionBytes() const override;
    // Both devices' counts added: each counts over all of its opens.
    DeviceCounts Counts() const override;
    bool Lost() const override { return active_ != nullptr && active_->Lost(); }
    bool Running() const override { return active_ == nullptr || active_->Running(); }
    void Close() override;

   protected:
    Device* active_ = nullptr;

   private:
    Device& real_;
    Device& builtin_;
    const std::vector<RealDevice>& realList_;
  };

  class RoutedWaveIn final : public Routed<WaveInDevice> {
   public:
    using Routed::Routed;
    int32_t Queue(WaveHeader* header) override;
    int32_t Start() override;
  };

  class RoutedWaveOut final : public Routed<WaveOutDevice> {
   public:
    using Routed::Routed;
    int32_t Write(WaveHeader* header) override;
  };

  DeviceConfig config_;
  std::unique_ptr<DeviceClock> ownClock_;
  RealDeviceList real_;
  RtAudioWaveIn realIn_;
  RtAudioWaveOut realOut_;
  BuiltinWaveIn builtinIn_;
  BuiltinWaveOut builtinOut_;
  RoutedWaveIn waveIn_;
  RoutedWaveOut waveOut_;
};

}  // namespace ampora
