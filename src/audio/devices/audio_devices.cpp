#include "audio/devices/audio_devices.h"

namespace ampora {

AudioDevices::AudioDevices(DeviceConfig config, DeviceClock* clock)
    : config_(std::move(config)),
      ownClock_(clock != nullptr ? nullptr : std::make_unique<RealTimeClock>()),
      realIn_(real_),
      realOut_(real_),
      builtinIn_(clock != nullptr ? *clock : *ownClock_, config_.wavInputPath),
      builtinOut_(clock != nullptr ? *clock : *ownClock_, config_.wavRecorderPath),
      waveIn_(realIn_, builtinIn_, real_.inputs),
      waveOut_(realOut_, builtinOut_, real_.outputs) {
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

namespace {

// Whether the device id names a real device of the list (the default device does when
// there is one) rather than a built-in one.
bool NamesRealDevice(int32_t deviceId, const std::vector<RealDevice>& realList) {
  const auto realCount = static_cast<int32_t>(realList.size());
  return (deviceId == kDefaultDevice && realCount > 0) || (deviceId >= 0 && deviceId < realCount);
}

}  // namespace

int32_t AudioDevices::StreamRate(int32_t inputId, int32_t outputId) const {
  int32_t rate = 0;
  if (NamesRealDevice(inputId, real_.inputs)) {
    rate = RealStreamRate(real_, inputId, true);
  } else if (NamesRealDevice(outputId, real_.outputs)) {
    rate = RealStreamRate(real_, outputId, false);
  }
  return rate > 0 ? rate : kDefaultSampleRate;
}

template <class Device>
int32_t AudioDevices::Routed<Device>::Open(int32_t deviceId, const WaveFormat& format) {
  if (active_ != nullptr) active_->Close();
  const auto realCount = static_cast<int32_t>(realList_.size());
  if (NamesRealDevice(deviceId, realList_)) {
    active_ = &real_;
    return real_.Open(deviceId, format);
  }
  // The default without real devices is the first built-in one; ids below -1 name nothing.
  active_ = &builtin_;
  return builtin_.Open(deviceId == kDefaultDevice ? 0 : (deviceId < 0 ? -1 : deviceId - realCount),
                       format);
}

template <class Device>
std::string AudioDevices::Routed<Device>::ErrorText(int32_t code) const {
  return active_ != nullptr ? active_->ErrorText(code) : DeviceErrorText(code);
}

template <class Device>
int64_t AudioDevices::Routed<Device>::PositionBytes() const {
  return active_ != nullptr ? active_->PositionBytes() : 0;
}

template <class Device>
DeviceCounts AudioDevices::Routed<Device>::Counts() const {
  const DeviceCounts real = real_.Counts();
  const DeviceCounts builtin = builtin_.Counts();
  return {real.blocks + builtin.blocks, real.lostFrames + builtin.lostFrames};
}

template <class Device>
void AudioDevices::Routed<Device>::Close() {
  if (active_ != nullptr) active_->Close();
}

int32_t AudioDevices::RoutedWaveIn::Queue(WaveHeader* header) {
  return active_ != nullptr ? active_->Queue(header) : kDeviceNotOpen;
}

int32_t AudioDevices::RoutedWaveIn::Start() {
  return active_ != nullptr ? active_->Start() : kDeviceNotOpen;
}

int32_t AudioDevices::RoutedWaveOut::Write(WaveHeader* header) {
  return active_ != nullptr ? active_->Write(header) : kDeviceNotOpen;
}

}  // namespace ampora
