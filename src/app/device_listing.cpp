#include "app/device_listing.h"

#include <string>
#include <vector>

#include "audio/devices/builtin_wave_in.h"
#include "audio/devices/builtin_wave_out.h"
#include "audio/devices/device_settings_keys.h"
#include "audio/devices/rtaudio_devices.h"
#include "live/main_settings.h"
#include "midi/midi_ports.h"

namespace ampora {

namespace {

void ListNames(std::ostream& out, const char* key, const std::vector<std::string>& names) {
  for (const std::string& name : names) out << "    " << key << "=" << name << "\n";
}

std::vector<std::string> NamesOf(const std::vector<RealDevice>& devices) {
  std::vector<std::string> names;
  for (const RealDevice& device : devices) names.push_back(device.name);
  return names;
}

}  // namespace

void ListDevices(std::ostream& out) {
  out << "Audio devices, by interface (settings " << kAudioApiKey << ", DeviceIn, DeviceOut in"
      << " section [conf] of ampora.ini):\n";
  for (const std::string& api : AudioApiNames()) {
    const RealDeviceList devices = ScanRealDevices(api);
    out << "  " << kAudioApiKey << "=" << api << "\n";
    if (devices.inputs.empty() && devices.outputs.empty()) out << "    (no devices)\n";
    ListNames(out, "DeviceIn", NamesOf(devices.inputs));
    ListNames(out, "DeviceOut", NamesOf(devices.outputs));
  }
  out << "  built-in, with any " << kAudioApiKey << " (the files: " << kWavInFileKey << ", "
      << kWavOutFileKey << "):\n";
  ListNames(out, "DeviceIn", BuiltinWaveIn::Names());
  ListNames(out, "DeviceOut", BuiltinWaveOut::Names());

  out << "MIDI inputs, by interface (settings " << kMidiApiKey << ", MidiInDeviceName; "
      << "UseMIDIF=1 opens the input at Start):\n";
  for (const std::string& api : MidiApiNames()) {
    const std::vector<std::string> names = MidiPortNames(1, api);
    out << "  " << kMidiApiKey << "=" << api << "\n";
    if (names.empty()) out << "    (no devices)\n";
    ListNames(out, "MidiInDeviceName", names);
  }
  out.flush();
}

}  // namespace ampora
