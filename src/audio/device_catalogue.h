#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/choice_list.h"
#include "util/ui_text.h"

// Devices are remembered by name, because device numbers follow the order in which the
// system lists its devices, which changes when devices come and go. A catalogue turns
// names into device ids (positions in the list) and back, and fills drop-down lists.
// There is one catalogue for the wave devices and one for the MIDI ports.
//
// ALSA sequencer ports are named with their client and port numbers at the end
// ("Midi Through:Midi Through Port-0 14:0"), and those numbers change when a program that
// offers a port restarts or gear is plugged in another order. A catalogue of such ports
// compares names without the numbers; only when two ports share a name do the numbers
// decide between them.
//
// Thread: UI thread.

namespace ampora {

// The device names of one class in id order; direction 1 = input, 0 = output.
using DeviceNameSource = std::function<std::vector<std::string>(int32_t direction)>;

// Whether the names of a list may carry numbers that change from run to run.
enum class DeviceNumbering { kStable, kSequencerPorts };

class DeviceCatalogue {
 public:
  explicit DeviceCatalogue(DeviceNameSource names,
                           DeviceNumbering numbering = DeviceNumbering::kStable)
      : names_(std::move(names)), numbering_(numbering) {}

  // Fills list with every device name in id order and selects the entry for name (exact
  // match first, then the loose comparison); nothing selected when none matches.
  void ListDevices(ChoiceList& list, int32_t direction, const std::string& name) const;
  // The name of device id; empty when id is no device (for example -1).
  std::string DeviceName(int32_t direction, int32_t id) const;
  // The name to remember device id by: its name, for sequencer ports without the numbers
  // unless another port has the same name. Empty when id is no device.
  std::string NameToKeep(int32_t direction, int32_t id) const;
  // The id of the device called name: 0 for an empty name, the number itself (rounded)
  // for a name that is a number as settings text holds one (settings/setting_number.h),
  // -1 when no device has the name. Sequencer ports whose name matches only without the
  // numbers count as found (the first of them). warn = 1 reports a name not found
  // in a message box and then tries the loose comparison.
  int32_t DeviceIdByName(int32_t direction, const std::string& name, int32_t warn) const;

 private:
  std::vector<std::string> Names(int32_t direction) const;
  // The normalised name as compared across runs.
  std::string Lasting(const std::string& normalised) const;
  // The first id whose normalised name is n, or whose lasting name is that of n; -1 if none.
  int32_t FindName(const std::vector<std::string>& names, const std::string& n) const;

  DeviceNameSource names_;
  DeviceNumbering numbering_;
};

// Whether two device names differ only by the numbering the system adds to duplicate
// devices ("Line In (2- USB Audio)" and "Line In (USB Audio)", "2- USB Audio" and
// "3- USB Audio").
bool SameDeviceName(const std::string& a, const std::string& b);

// The name without the " client:port" numbers an ALSA sequencer port name ends with.
std::string WithoutPortNumbers(const std::string& name);

// The warning of DeviceIdByName (followed by a line break and the name).
inline constexpr const char kDeviceNotFoundText[] =
    UI_TEXT_NOOP("DeviceError", "この名前のデバイスを検出できませんでした");

}  // namespace ampora
