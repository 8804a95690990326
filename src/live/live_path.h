#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "audio/device_catalogue.h"
#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"
#include "effects/effect_chain.h"
#include "live/levels.h"
#include "live/live_view.h"
#include "live/main_settings.h"

// The live path in one object: the wave devices, the stream engine, the effect chain
// with its working setting, the levels, the banks, the transport and the timer tick, and
// the start-up and shut-down of all of it. The main window is a thin layer over it: it
// builds the object once its controls exist, forwards its events to the entry points
// below and shows what the object tells its LiveView.
//
// Thread: UI thread, every member. Several entry points let pending events run (Tick,
// the transport buttons, ShutDown, ObeyCommandLine); handlers running then may call in
// again. UiBusy drops transport clicks and function keys that arrive while one of them
// runs, and ticks never nest.

namespace ampora {

inline constexpr int32_t kKeyEscape = 27;
inline constexpr int32_t kKeyF1 = 112;
inline constexpr int32_t kKeyF12 = 123;

enum TransportButton : int32_t {
  kStartButton = 0,  // "Start", "Reset" while streaming
  kBypassButton = 1,
  kTunerButton = 2,
  kStoreButton = 3,
};

// The mouse buttons of an effect button's click.
inline constexpr int32_t kMouseLeft = 1;
inline constexpr int32_t kMouseRight = 2;

inline constexpr char kStartCaption[] = "Start";
inline constexpr char kResetCaption[] = "Reset";
inline constexpr char kStorePrompt[] = "Press F1 - F12 key";

// The stream is closed for this long before every restart, with events running.
inline constexpr int32_t kRestartWaitMs = 300;

struct LiveSetup {
  DeviceConfig devices;
  // The built-in devices' time base; nullptr = real time.
  DeviceClock* clock = nullptr;
  // The MIDI input names by id; empty = the machine's MIDI input ports.
  DeviceNameSource midiInputs;
};

class LivePath {
 public:
  // The view and its faders must outlive the object.
  LivePath(LiveView& view, LiveSetup setup);
  LivePath(const LivePath&) = delete;
  LivePath& operator=(const LivePath&) = delete;

  // The start-up of the live path, in one settings batch: the main settings (and with
  // them the error trap switch, also on when a file "ec.txt" lies in the program's
  // folder), the devices by name, the stream initialised but not opened, the effect
  // tables, and the working setting from section "Current". From the main settings on, a
  // failing step is skipped unless ErrorCatch is on. The stream is stopped, the mode
  // normal.
  void StartUp();

  // The shut-down, once; later calls return false and do nothing. In order, each step's
  // errors trapped unless ErrorCatch is on: saveWindowPlacement, the main settings, the
  // working setting into "Current", the per-user store of the program removed, all in
  // one settings batch that reaches the disk before anything else happens, so a device
  // that fails or hangs while closing cannot cost the working setting; then the stream
  // closed, the effect tables freed and a 300 ms wait with events running.
  bool ShutDown(const std::function<void()>& saveWindowPlacement = {});

  // Obeys the start-up switches of the arguments (live/start_switches.h).
  void ObeyCommandLine(const std::string& arguments);

  // The timer tick (every 5 ms): lets pending events run, then polls the stream while it
  // runs. A tick that arrives while one runs does nothing.
  void Tick();

  // A transport button: Start/Reset, Bypass and Tuner restart the stream in the new mode
  // (close, wait with events running, initialise, open), even from the stopped state;
  // Store arms the storing of a bank. Ignored while UiBusy.
  void ButtonClicked(int32_t button);

  // The key handler, for key releases anywhere in the main window. F1..F12 load bank
  // 1..12, or store into it when a store is armed; Escape cancels an armed store.
  // Returns true when the key is consumed (an F-key or Escape without shift keys).
  // Ignored (false) while UiBusy.
  bool KeyReleased(int32_t key, int32_t shift);

  // Effect buttons: a left click switches the effect, a right click opens its editor or
  // closes it (a second right click on the effect being edited only closes it); hovering
  // shows the effect's name, and hovering the rest of the signal-flow area clears it.
  void EffectClicked(int32_t effect, int32_t mouseButton);
  void EffectHovered(int32_t effect);
  void SignalFlowHovered();

  // The faders: the user moved one (its values are read from the view), or double-clicked
  // it (back to 0 dB).
  void LevelChanged(int32_t fader);
  void FaderDoubleClicked(int32_t fader);

  // Bank n = 0..11 ("Bank01".."Bank12"), or "Current" for n < 0: loading shows the bank's
  // name (a bank without one gets "NoName" written), its levels and effects, and an open
  // effect editor the loaded values; storing takes the name of the armed store.
  void LoadBank(int32_t n);
  void SaveBank(int32_t n);

  // MIDI input settings, read at start-up and written at shut-down.
  int32_t MidiInDeviceId = 0;
  int32_t MidiCh = 0;
  int32_t UseMIDIF = 0;

  // The main settings as start-up read them (the window takes AltFont from here).
  const MainSettings& StartSettings() const { return startSettings_; }
  int32_t UiBusy() const { return uiBusy_; }
  // The name an armed store will use; empty = no store armed.
  const std::string& PendingBankName() const { return pendingBankName_; }
  // The mode shown in the transport bar: 1 bypass, 2 tuner, -1 normal.
  int32_t SelectedButton() const { return selectedButton_; }

  AudioDevices& Devices() { return devices_; }
  const DeviceCatalogue& WaveDevices() const { return waveCatalogue_; }
  const DeviceCatalogue& MidiInputs() const { return midiCatalogue_; }
  StreamEngine& Engine() { return engine_; }
  EffectChain& Chain() { return chain_; }
  Levels& LevelState() { return levels_; }

 private:
  void RestartStream();
  void ToggleBypass();
  void ToggleTuner();
  void ArmStore();
  void SelectBank(int32_t n);
  void CancelStore();
  void SetSelectedButton(int32_t button);
  MainSettings SettingsToKeep() const;

  LiveView& view_;
  AudioDevices devices_;
  DeviceCatalogue waveCatalogue_;
  DeviceCatalogue midiCatalogue_;
  StreamEngine engine_;
  EffectChain chain_;
  Levels levels_;
  MainSettings startSettings_;
  int32_t uiBusy_ = 0;
  std::string pendingBankName_;
  int32_t selectedButton_ = -1;
  bool inTick_ = false;
  bool shutDown_ = false;
};

}  // namespace ampora
