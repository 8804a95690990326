#pragma once

#include <string>

// What the device layer is told by the settings. The keys they are stored under are in
// audio/devices/device_settings_keys.h.

namespace ampora {

struct DeviceConfig {
  // The audio interface: "jack", "alsa" or "pulse" (any case); empty or unknown = the
  // first compiled interface that has devices.
  std::string api;
  // The file the built-in input "WAV file" plays, looped.
  std::string wavInputPath;
  // The file the built-in output "WAV recorder" writes (overwritten at every start).
  std::string wavRecorderPath;
  // false: only the built-in devices, whatever the machine has (tests).
  bool realDevices = true;
};

}  // namespace ampora
