#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/device_catalogue.h"
#include "audio/device_choice.h"
#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"
#include "effects/effect_chain.h"
#include "live/levels.h"
#include "live/live_events.h"
#include "live/live_view.h"
#include "live/main_settings.h"
#include "midi/midi_in_service.h"
#include "midi/midi_input.h"
#include "tuner/tuner_analysis.h"

// The live path in one object: the wave devices, the stream engine, the effect chain
// with its working setting, the levels, the banks, the tuner, the MIDI input, the
// transport and the timer tick, and the start-up and shut-down of all of it. The main window is a
// thin layer over it: it builds the object once its controls exist, forwards its events to the
// entry points below and shows what the object tells its LiveView. The program without a
// window is another such layer, over a model of the view (live/model_view.h); both run in
// the order of live/live_program.h.
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
// The period of the tick, on the main window's timer and in the headless loop alike.
inline constexpr int32_t kTickIntervalMs = 5;

struct LiveSetup {
  DeviceConfig devices;
  // The built-in devices' time base; nullptr = real time.
  DeviceClock* clock = nullptr;
  // The MIDI interface ("alsa", "jack"; empty = the first that has ports): the port list
  // and the input both use it, so that a port's id opens that very port.
  std::string midiApi;
  // The MIDI input names by id; empty = the input ports of that interface.
  DeviceNameSource midiInputs;
  // The service the MIDI input opens its port with; nullptr = the machine's, through
  // RtMidi on that interface. It must outlive the live path.
  MidiInService* midiService = nullptr;
};

// The setup the settings describe: the device layer's settings (ReadDeviceConfig) and the
// MIDI interface ("MidiApi"). Read before the live path is built.
LiveSetup ReadLiveSetup();

class LivePath {
 public:
  // The view and its faders must outlive the object.
  LivePath(LiveView& view, LiveSetup setup);
  LivePath(const LivePath&) = delete;
  LivePath& operator=(const LivePath&) = delete;

  // The start-up of the live path: the main settings (and with
  // them the error trap switch, also on when a file "ec.txt" lies in the program's
  // folder), the devices by name, the stream initialised but not opened, the effect
  // tables, and the working setting from section "Current". From the main settings on, a
  // failing step is skipped unless ErrorCatch is on. The stream is stopped, the mode
  // normal. The caller holds the start-up's SettingsBatch (live/live_program.h), so the
  // defaults written back reach the file in one replacement.
  void StartUp();

  // The shut-down, once; later calls return false and do nothing. In order, each step's
  // errors trapped unless ErrorCatch is on: saveWindowPlacement, the main settings, the
  // working setting into "Current", the per-user store of the program removed, all in
  // one settings batch that reaches the disk before anything else happens, so a device
  // that fails or hangs while closing cannot cost the working setting; then the MIDI
  // input and the stream closed, the effect tables freed and a 300 ms wait with events
  // running. A transport action whose wait is running meanwhile does not reopen the
  // stream afterwards. Everything kept is written in one SettingsBatch of its own.
  bool ShutDown(const std::function<void()>& saveWindowPlacement = {});

  // Obeys the start-up switches of the arguments (live/start_switches.h).
  void ObeyCommandLine(const std::string& arguments);

  // The timer tick (every kTickIntervalMs): lets pending events run, then polls the stream while it
  // runs; in tuner mode a poll that handled a block has the last one analysed and shown.
  // A MIDI input whose server went away is closed, said in a message box once (the
  // stream's own box when it ends with the same server). Then, while the MIDI input is
  // active, its program changes 0..11 of channel MidiCh act as the function keys F1..F12
  // (and so are dropped during a transport action). A tick that arrives while one runs
  // does nothing.
  void Tick();

  // A transport button: Start/Reset, Bypass and Tuner restart the stream in the new mode
  // (close, wait with events running, initialise, open), even from the stopped state,
  // and clear the tuner's peak hold; Start also reopens the MIDI input when UseMIDIF is 1
  // (by the device's name: ports renumber as devices come and go) and closes it
  // otherwise. Start closes the MIDI input before the stream, opens it once the audio
  // server runs the stream's devices, and makes the whole start again, up to three times
  // with a longer wait each time (1 s, 2 s, 4 s, 8 s, with events running), while the server
  // does not run a device of it; a MIDI input still not run then is closed and said
  // lost. Store arms the storing of a bank. Ignored while UiBusy.
  void ButtonClicked(int32_t button);

  // The key handler, for key releases anywhere in the main window. F1..F12 load bank
  // 1..12, or store into it when a store is armed; Escape cancels an armed store.
  // Returns true when the key is consumed (an F-key or Escape without shift keys).
  // Ignored (false) while UiBusy. The source is what the events tell selected the bank.
  bool KeyReleased(int32_t key, int32_t shift, BankSource source = BankSource::kKey);

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

  // The receiver of the live path's events (live/live_events.h); nullptr = none. It must
  // outlive the object or be replaced first.
  void SetEvents(LiveEvents* events) { events_ = events != nullptr ? events : &noEvents_; }

  // Reads the device lists again (wave devices and MIDI inputs), so that devices plugged
  // in since start-up can be chosen; the chosen devices follow their names into the new
  // lists (DeviceChoice::Rescan). ALSA lists a wave device that is open as no device at
  // all, so while the stream runs on ALSA the wave lists stay as they are.
  void RescanDevices();

  // The chosen devices, by name: read at start-up, chosen in the configuration dialog,
  // opened by Start and written at shut-down. The MIDI input is opened by name, found in
  // the port list of that moment.
  DeviceChoice& WaveInChoice() { return waveInChoice_; }
  DeviceChoice& WaveOutChoice() { return waveOutChoice_; }
  DeviceChoice& MidiInChoice() { return midiInChoice_; }

  // MIDI input settings, read at start-up and written at shut-down. UseMIDIF and the
  // device take effect at the next Start, MidiCh at once (0..15, -1 = every channel; a
  // stored channel outside these is every channel). MidiActive: 1 while the input opened
  // by Start is drained by the tick.
  int32_t MidiCh = 0;
  int32_t UseMIDIF = 0;
  int32_t MidiActive = 0;
  // The tuner's reference pitch A4 in Hz, read at start-up and written at shut-down; the
  // next analysis reads the note against it.
  float TunerA4 = kTunerA4Default;

  // The main settings as start-up read them (the window takes AltFont from here).
  const MainSettings& StartSettings() const { return startSettings_; }
  int32_t UiBusy() const { return uiBusy_; }
  // The name an armed store will use; empty = no store armed.
  const std::string& PendingBankName() const { return pendingBankName_; }
  // The mode shown in the transport bar: 1 bypass, 2 tuner, -1 normal.
  int32_t SelectedButton() const { return selectedButton_; }

  AudioDevices& Devices() { return devices_; }
  // The device lists as start-up or the last RescanDevices read them; the device ids
  // count in these.
  const DeviceCatalogue& WaveDevices() const { return waveCatalogue_; }
  const DeviceCatalogue& MidiInputs() const { return midiCatalogue_; }
  StreamEngine& Engine() { return engine_; }
  EffectChain& Chain() { return chain_; }
  Levels& LevelState() { return levels_; }
  const TunerAnalysis& Tuner() const { return tuner_; }
  const MidiInput& Midi() const { return midi_; }
  // What the streams and the MIDI input counted (StreamCounts; MIDI messages received,
  // taken and lost), as one line of name=value pairs for the reliability scripts.
  std::string CountsReport() const;

 private:
  void Start();
  // Waits with events running until done() or durationMs passed; false when not done.
  bool WaitUntil(int32_t durationMs, const std::function<bool()>& done);
  void RestartStream();
  void InitStreamAtDeviceRate();
  void ReopenMidiIn();
  void NoticeLostMidiIn(bool streamEndedByItself);
  void CloseLostMidiIn(bool tellUser);
  // Closes the MIDI input and says it lost (in a message box too when tellUser).
  void DropMidiIn(bool tellUser);
  void AnalyseTunerBlock(int32_t k);
  void ToggleBypass();
  void ToggleTuner();
  void ArmStore();
  void SelectBank(int32_t n, BankSource source);
  void CancelStore();
  void SetSelectedButton(int32_t button);
  MainSettings SettingsToKeep() const;

  LiveView& view_;
  LiveEvents noEvents_;
  LiveEvents* events_ = &noEvents_;
  AudioDevices devices_;
  // The MIDI input names as start-up or the last rescan read them.
  DeviceNameSource midiSource_;
  std::vector<std::string> midiInputNames_;
  DeviceCatalogue waveCatalogue_;
  DeviceCatalogue midiCatalogue_;
  DeviceChoice waveInChoice_;
  DeviceChoice waveOutChoice_;
  DeviceChoice midiInChoice_;
  StreamEngine engine_;
  EffectChain chain_;
  Levels levels_;
  TunerAnalysis tuner_;
  std::unique_ptr<MidiInService> ownMidiService_;
  MidiInput midi_;
  MidiInput::KeyHandler midiKeys_;
  // Ticks since the MIDI input was found lost while the stream ran.
  int32_t midiLostTicks_ = 0;
  MainSettings startSettings_;
  int32_t uiBusy_ = 0;
  std::string pendingBankName_;
  int32_t selectedButton_ = -1;
  bool inTick_ = false;
  bool shutDown_ = false;
};

}  // namespace ampora
