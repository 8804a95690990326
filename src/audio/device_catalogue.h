#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/choice_list.h"

// Devices are remembered by name, because device numbers follow the order in which the
// system lists its devices, which changes when devices come and go. A catalogue turns
// names into device ids (positions in the list) and back, and fills drop-down lists.
// There is one catalogue for the wave devices and one for the MIDI ports.
//
// Thread: UI thread.

namespace ampora {

// The device names of one class in id order; direction 1 = input, 0 = output.
using DeviceNameSource = std::function<std::vector<std::string>(int32_t direction)>;

class DeviceCatalogue {
 public:
  explicit DeviceCatalogue(DeviceNameSource names) : names_(std::move(names)) {}

  // Fills list with every device name in id order and selects the entry for name (exact
  // match first, then the loose comparison); nothing selected when none matches.
  void ListDevices(ChoiceList& list, int32_t direction, const std::string& name) const;
  // The name of device id; empty when id is no device (for example -1).
  std::string DeviceName(int32_t direction, int32_t id) const;
  // The id of the device called name: 0 for an empty name, the number itself (rounded)
  // for a name that is a number as settings text holds one (settings/setting_number.h),
  // -1 when no device has the name. warn = 1 reports a name not found
  // in a message box and then tries the loose comparison.
  int32_t DeviceIdByName(int32_t direction, const std::string& name, int32_t warn) const;

 private:
  std::vector<std::string> Names(int32_t direction) const;

  DeviceNameSource names_;
};

// Whether two device names differ only by the numbering the system adds to duplicate
// devices ("Line In (2- USB Audio)" and "Line In (USB Audio)", "2- USB Audio" and
// "3- USB Audio").
bool SameDeviceName(const std::string& a, const std::string& b);

// The warning of DeviceIdByName (followed by a line break and the name).
inline constexpr const char kDeviceNotFoundText[] = "この名前のデバイスを検出できませんでした";

}  // namespace ampora
