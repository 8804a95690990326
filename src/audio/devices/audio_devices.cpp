#include "audio/devices/audio_devices.h"

namespace ampora {

AudioDevices::AudioDevices(DeviceConfig config, DeviceClock* clock)
    : config_(std::move(config)),
      ownClock_(clock != nullptr ? nullptr : std::make_unique<RealTimeClock>()),
      realIn_(real_),
      realOut_(real_),
      builtinIn_(clock != nullptr ? *clock : *ownClock_, config_.wavInputPath),
      builtinOut_(clock != nullptr ? *clock : *ownClock_, config_.wavRecorderPath),
      waveIn_(realIn_, builtinIn_, real_),
      waveOut_(realOut_, builtinOut_, real_) {
  Rescan();
}

AudioDevices::~AudioDevices() = default;

void AudioDevices::Rescan() {
  real_ = config_.realDevices ? ScanRealDevices(config_.api) : RealDeviceList{};
}

std::vector<std::string> AudioDevices::Names(int32_t direction) const {
  const bool input = direction == 1;
  std::vector<std::string> names;
  for (const RealDevice& device : input ? real_.inputs : real_.outputs)
    names.push_back(device.name);
  for (const std::string& name : input ? BuiltinWaveIn::Names() : BuiltinWaveOut::Names()) {
    names.push_back(name);
  }
  return names;
}

template <class Device, class Real, class Builtin>
int32_t AudioDevices::Router<Device, Real, Builtin>::Open(int32_t deviceId,
                                                          const WaveFormat& format) {
  if (active_ != nullptr) active_->Close();
  const auto realCount = static_cast<int32_t>(realList_.size());
  if (deviceId == kDefaultDevice && realCount > 0) {
    active_ = &real_;
    return real_.Open(kDefaultDevice, format);
  }
  if (deviceId >= 0 && deviceId < realCount) {
    active_ = &real_;
    return real_.Open(deviceId, format);
  }
  // The default without real devices is the first built-in one; ids below -1 name nothing.
  active_ = &builtin_;
  return builtin_.Open(deviceId == kDefaultDevice ? 0 : (deviceId < 0 ? -1 : deviceId - realCount),
                       format);
}

int32_t AudioDevices::RoutedWaveIn::Open(int32_t deviceId, const WaveFormat& format) {
  return router_.Open(deviceId, format);
}

std::string AudioDevices::RoutedWaveIn::ErrorText(int32_t code) const {
  return router_.Active() != nullptr ? router_.Active()->ErrorText(code) : DeviceErrorText(code);
}

int32_t AudioDevices::RoutedWaveIn::Queue(WaveHeader* header) {
  return router_.Active() != nullptr ? router_.Active()->Queue(header) : kDeviceNotOpen;
}

int32_t AudioDevices::RoutedWaveIn::Start() {
  return router_.Active() != nullptr ? router_.Active()->Start() : kDeviceNotOpen;
}

int64_t AudioDevices::RoutedWaveIn::PositionBytes() const {
  return router_.Active() != nullptr ? router_.Active()->PositionBytes() : 0;
}

void AudioDevices::RoutedWaveIn::Reset() {
  if (router_.Active() != nullptr) router_.Active()->Reset();
}

void AudioDevices::RoutedWaveIn::Close() {
  if (router_.Active() != nullptr) router_.Active()->Close();
}

int32_t AudioDevices::RoutedWaveOut::Open(int32_t deviceId, const WaveFormat& format) {
  return router_.Open(deviceId, format);
}

std::string AudioDevices::RoutedWaveOut::ErrorText(int32_t code) const {
  return router_.Active() != nullptr ? router_.Active()->ErrorText(code) : DeviceErrorText(code);
}

int32_t AudioDevices::RoutedWaveOut::Write(WaveHeader* header) {
  return router_.Active() != nullptr ? router_.Active()->Write(header) : kDeviceNotOpen;
}

int64_t AudioDevices::RoutedWaveOut::PositionBytes() const {
  return router_.Active() != nullptr ? router_.Active()->PositionBytes() : 0;
}

void AudioDevices::RoutedWaveOut::Reset() {
  if (router_.Active() != nullptr) router_.Active()->Reset();
}

void AudioDevices::RoutedWaveOut::Close() {
  if (router_.Active() != nullptr) router_.Active()->Close();
}

}  // namespace ampora
