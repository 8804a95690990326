#pragma once

#include <cstdint>
#include <string>

#include "audio/block_layout.h"
#include "audio/devices/device_config.h"
#include "tuner/note_reading.h"

// The main settings of section "conf": read once at start-up, written back at shut-down.
//
// Thread: UI thread (the settings store).

namespace ampora {

struct MainSettings {
  int32_t LogError = 0;  // kept in the file; nothing depends on it
  int32_t ErrorCatch = 0;
  int32_t AltFont = 1;  // 1: the window chooses its UI font face at start-up
  float BufferMS = kBufferMsDefault;
  float DelayMinMS = kDelayMinMsDefault;
  float DelayMaxMS = kDelayMaxMsDefault;
  std::string DeviceIn;  // devices by name; empty = the first device
  std::string DeviceOut;
  std::string MidiInDeviceName;
  int32_t MidiCh = 0;
  int32_t UseMIDIF = 0;
  float TunerA4 = kTunerA4Default;  // Hz; outside 415..466 or not a number reads as 440
};

// Reads them in the order above. A key that is absent is written back with its default,
// so that after the first run the file lists every setting; a value that is not a number
// reads as the default.
MainSettings ReadMainSettings();

// Writes what shut-down keeps, in this order: DeviceIn, DeviceOut, BufferMS, DelayMaxMS,
// DelayMinMS, UseMIDIF, MidiInDeviceName, MidiCh, TunerA4. LogError, ErrorCatch and
// AltFont are only ever read.
void WriteMainSettings(const MainSettings& settings);

// The device layer's settings (audio interface, files of the built-in devices); empty
// when absent. A relative file name counts from the folder of the settings file. Read
// before the devices are built.
DeviceConfig ReadDeviceConfig();

}  // namespace ampora
