#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "effects/bank_transfer.h"
#include "effects/fx_param.h"

// One start-up and shut-down of the program over a given settings file, in-process and
// without a display or devices: the program's run (live/live_program.h) with a front end
// that stands for the main window, its widgets, fonts and painting left out.
//
// What runs, in the program's order and batches: the single-instance lock (in a runtime
// folder of the rig's own), the device layer's settings, the live
// path's start-up (main settings, error-trap switch, devices by name on the built-in
// devices, MIDI inputs by name on a fixed port list, stream initialised, effect tables,
// the working setting from "Current"), the language-mode setting, the window placement
// restored onto a window model; then the live path's shut-down with the placement saved
// (placement, main settings, "Current", the per-user store removed, MIDI and stream
// closed, tables freed, the closing wait). Waits take no real time.
//
// Left out, because they only draw and take nothing from the file but AltFont (which
// picks a font face when it is exactly 1): the controls' faces, the UI font, the window's
// painting and showing.
//
// Thread: the one thread of the run (the settings store and the live path are UI-thread
// objects).

namespace ampora::reliability {

// What one cycle ended with.
struct CycleOutcome {
  // With ErrorCatch on, a run-time error ended the program the way main() ends it, with
  // its report and without the shut-down.
  bool endedByErrorReport = false;
  std::string errorText;
  // The settings file after the shut-down.
  std::string written;
  // The state the shut-down kept.
  FxParamTable fx{};
  BankLevels levels;
  std::array<float, 3> timing{};  // BufferMS, DelayMinMS, DelayMaxMS
  std::array<int32_t, 2> waveDevices{};
  // The chosen devices by name: wave input, wave output, MIDI input.
  std::array<std::string, 3> deviceNames;
  std::array<int32_t, 3> midi{};  // MIDI input id, MidiCh, UseMIDIF
  std::array<float, 2> windowEdges{};
  int16_t windowState = 0;
};

// The program's folders under a folder of the run's own: the program folder (where the
// settings file lives) and the per-user configuration (XDG_CONFIG_HOME, set here).
class StartUpShutDownRig {
 public:
  explicit StartUpShutDownRig(const std::string& folder);
  ~StartUpShutDownRig();
  StartUpShutDownRig(const StartUpShutDownRig&) = delete;
  StartUpShutDownRig& operator=(const StartUpShutDownRig&) = delete;

  // Writes the text as the settings file, starts up and shuts down.
  CycleOutcome Run(const std::string& settingsText);

  std::string SettingsFile() const;

 private:
  std::string folder_;
  std::vector<std::string> midiPorts_{"keys A", "keys B"};
  double clock_ = 0.0;
};

// Why the cycles over one generated file went wrong, or empty text when they did not:
// first is the cycle over the generated text, second the cycle over what first wrote.
// The file written at shut-down must read again with every kept setting within its
// range, the chosen devices by the names start-up read and every key of the working
// setting, leave the sections the start-up does not
// touch as they were, and be a fixed point (a second cycle keeps it byte for byte and
// loads what the first one kept).
std::string CycleFault(const std::string& generated, const CycleOutcome& first,
                       const CycleOutcome& second);

}  // namespace ampora::reliability
