#include "live/live_path.h"

#include <optional>
#include <utility>

#include "effects/bank_transfer.h"
#include "effects/effect_catalogue.h"
#include "live/banks.h"
#include "live/start_switches.h"
#include "midi/midi_ports.h"
#include "midi/rtmidi_in_service.h"
#include "settings/settings_batch.h"
#include "settings/settings_store.h"
#include "settings/user_store.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "util/text.h"
#include "util/ui_text.h"
#include "util/wait.h"

namespace ampora {

namespace {

constexpr int32_t kBankCount = 12;
constexpr int32_t kLastMidiChannel = 15;
// Ticks a lost MIDI input waits for the streams to end with their own box (about 0.1 s).
constexpr int32_t kLostMidiGraceTicks = 20;
// The waits sleep this long between turns of letting events run.
constexpr int32_t kWaitTurnMs = 1;
// How long a start waits for the audio server to run its devices (doubling at each retry),
// and how often a start whose devices it did not run is made again.
constexpr int32_t kRunWaitMs = 1000;
constexpr int32_t kStartRetries = 3;

// Clears a re-entry flag however the handler that set it ends.
template <class Flag>
class ClearOnExit {
 public:
  explicit ClearOnExit(Flag& flag) : flag_(flag) {}
  ~ClearOnExit() { flag_ = Flag{}; }
  ClearOnExit(const ClearOnExit&) = delete;
  ClearOnExit& operator=(const ClearOnExit&) = delete;

 private:
  Flag& flag_;
};

DeviceNameSource MidiInputsOf(DeviceNameSource names, const std::string& api) {
  if (names) return names;
  return [api](int32_t direction) { return MidiPortNames(direction, api); };
}

std::unique_ptr<MidiInService> OwnMidiService(const LiveSetup& setup) {
  if (setup.midiService != nullptr) return nullptr;
  return std::make_unique<RtMidiInService>(setup.midiApi);
}

}  // namespace

LiveSetup ReadLiveSetup() {
  LiveSetup setup;
  setup.devices = ReadDeviceConfig();
  setup.midiApi = ReadSetting(kMidiApiKey, SettingValue::Text(""));
  return setup;
}

LivePath::LivePath(LiveView& view, LiveSetup setup)
    : view_(view),
      devices_(std::move(setup.devices), setup.clock),
      midiSource_(MidiInputsOf(std::move(setup.midiInputs), setup.midiApi)),
      waveCatalogue_([this](int32_t direction) { return devices_.Names(direction); }),
      midiCatalogue_(
          [this](int32_t direction) {
            return direction == 1 ? midiInputNames_ : midiSource_(direction);
          },
          DeviceNumbering::kSequencerPorts),
      waveInChoice_(waveCatalogue_, 1),
      waveOutChoice_(waveCatalogue_, 0),
      midiInChoice_(midiCatalogue_, 1),
      engine_(devices_.WaveIn(), devices_.WaveOut(), chain_),
      chain_(engine_.Buffers()),
      levels_(view.Fader(kInFader), view.Fader(kOutFader), engine_.Buffers()),
      ownMidiService_(OwnMidiService(setup)),
      midi_(setup.midiService != nullptr ? *setup.midiService : *ownMidiService_),
      midiKeys_(
          [this](int32_t key, int32_t shift) { KeyReleased(key, shift, BankSource::kMidi); }) {}

void LivePath::StartUp() {
  startSettings_ = ReadMainSettings();
  if (startSettings_.ErrorCatch == 0 && FileExists(AppFolder() + "ec.txt")) {
    startSettings_.ErrorCatch = 1;
  }
  ErrorCatch = startSettings_.ErrorCatch;
  const MainSettings& s = startSettings_;
  engine_.BufferMS = s.BufferMS;
  engine_.DelayMinMS = s.DelayMinMS;
  engine_.DelayMaxMS = s.DelayMaxMS;
  TrapErrors([&] {
    waveInChoice_.Remember(s.DeviceIn);
    waveOutChoice_.Remember(s.DeviceOut);
  });
  TrapErrors([&] { midiInputNames_ = midiSource_(1); });
  TrapErrors([&] { midiInChoice_.Remember(s.MidiInDeviceName); });
  // The configuration dialog shows a channel it has no item for as every channel.
  MidiCh = s.MidiCh >= -1 && s.MidiCh <= kLastMidiChannel ? s.MidiCh : -1;
  TunerA4 = s.TunerA4;
  TrapErrors([&] { engine_.InitStream(); });
  TrapErrors([&] { chain_.InitEffectTables(); });
  TrapErrors([&] { LoadBank(-1); });
  UseMIDIF = s.UseMIDIF;
}

MainSettings LivePath::SettingsToKeep() const {
  MainSettings s = startSettings_;
  // The names the user chose, also of devices missing in this run.
  s.DeviceIn = waveInChoice_.Name();
  s.DeviceOut = waveOutChoice_.Name();
  s.BufferMS = engine_.BufferMS;
  s.DelayMinMS = engine_.DelayMinMS;
  s.DelayMaxMS = engine_.DelayMaxMS;
  s.MidiInDeviceName = midiInChoice_.Name();
  s.MidiCh = MidiCh;
  s.UseMIDIF = UseMIDIF;
  s.TunerA4 = TunerA4;
  return s;
}

bool LivePath::ShutDown(const std::function<void()>& saveWindowPlacement) {
  if (shutDown_) return false;
  shutDown_ = true;
  {
    // Everything kept reaches the disk, in one replacement, before any device is touched:
    // a device that fails or hangs while closing cannot cost the working setting.
    SettingsBatch batch;
    if (saveWindowPlacement) TrapErrors(saveWindowPlacement);
    TrapErrors([&] { WriteMainSettings(SettingsToKeep()); });
    TrapErrors([&] { SaveBank(-1); });
    TrapErrors([&] { DeleteRegAppKey(AppTitle); });
  }
  TrapErrors([&] { midi_.CloseMidiIn(0); });
  MidiActive = 0;
  TrapErrors([&] { engine_.CloseStream(); });
  TrapErrors([&] { chain_.FreeEffectTables(); });
  WaitMs(kRestartWaitMs, kWaitTurnMs);
  return true;
}

std::string LivePath::CountsReport() const {
  const StreamCounts s = engine_.Counts();
  std::string line;
  const auto add = [&line](const char* name, auto value) {
    if (!line.empty()) line += ' ';
    line.append(name).append("=").append(std::to_string(value));
  };
  add("opens", s.opens);
  add("blocks_filled", s.blocksFilled);
  add("blocks_handled", s.blocksHandled);
  add("blocks_left_at_close", s.blocksLeftAtClose);
  add("blocks_handled_twice", s.blocksHandledTwice);
  add("blocks_played", s.blocksPlayed);
  add("frames_dropped", s.framesDropped);
  add("gap_frames", s.gapFrames);
  add("midi_received", midi_.ReceivedMessages(0));
  add("midi_taken", midi_.TakenMessages());
  add("midi_lost", midi_.LostMessages(0));
  return line;
}

void LivePath::RescanDevices() {
  midiInputNames_ = midiSource_(1);
  midiInChoice_.Rescan();
  if (engine_.StreamRunning() == 1 && devices_.ApiName() == "alsa") return;
  devices_.Rescan();
  waveInChoice_.Rescan();
  waveOutChoice_.Rescan();
}

void LivePath::ObeyCommandLine(const std::string& arguments) {
  const StartSwitches switches = ParseStartSwitches(arguments);
  if (switches.startForF) {
    ButtonClicked(kStartButton);
    if (switches.keyCode) KeyReleased(*switches.keyCode, 0);
  }
  if (switches.startForS) ButtonClicked(kStartButton);
}

void LivePath::Tick() {
  if (inTick_) return;
  inTick_ = true;
  const ClearOnExit ticking(inTick_);
  RunPendingEvents();
  bool streamEndedByItself = false;
  if (engine_.StreamRunning() == 1) {
    const int32_t k = engine_.PollStream();
    // A device that stopped by itself ended the stream.
    if (engine_.StreamRunning() != 1) {
      view_.SetStartCaption(kStartCaption);
      streamEndedByItself = true;
      events_->StreamLost();
    }
    if (engine_.TunerOn == 1 && k != -1) AnalyseTunerBlock(k);
  }
  NoticeLostMidiIn(streamEndedByItself);
  if (MidiActive != 0) midi_.DrainMidiRing(MidiCh, midiKeys_);
}

void LivePath::AnalyseTunerBlock(int32_t k) {
  TrapErrors([&] {
    const std::optional<TunerReading> reading = tuner_.UpdateTuner(engine_.Buffers(), k, TunerA4);
    if (!reading) return;
    view_.DrawTuner(*reading);
    events_->TunerRead(*reading);
  });
}

void LivePath::ButtonClicked(int32_t button) {
  if (uiBusy_ == 1) return;
  uiBusy_ = 1;
  const ClearOnExit busy(uiBusy_);
  TrapErrors([&] {
    CloseLostMidiIn(true);
    switch (button) {
      case kStartButton:
        Start();
        break;
      case kBypassButton:
        ToggleBypass();
        break;
      case kTunerButton:
        ToggleTuner();
        break;
      case kStoreButton:
        ArmStore();
        return;
      default:
        return;
    }
    view_.SetStartCaption(engine_.StreamRunning() == 1 ? kResetCaption : kStartCaption);
    tuner_.ClearPeakHistory();
  });
}

// A client of another program that leaves while one of ours opens can leave libjack's
// per-process state stale, so that the server waits on a client of ours in vain and its
// whole graph stalls; that state resets only when the last client of the process closes.
// So a start closes every client of ours before any opens again, and a start whose
// devices the server does not run is made again. The MIDI input opens only once the
// stream runs: a client opened on a stalled graph costs libjack's full timeouts.
void LivePath::Start() {
  for (int32_t retry = 0;; ++retry) {
    midi_.CloseMidiIn(0);
    MidiActive = 0;
    RestartStream();
    if (shutDown_) return;
    const bool last = retry == kStartRetries;
    const int32_t waitMs = kRunWaitMs << retry;
    const bool streamRuns = WaitUntil(waitMs, [&] { return engine_.DevicesRun(); });
    if (shutDown_) return;
    bool midiRuns = false;
    if (streamRuns || last) {
      ReopenMidiIn();
      midiRuns = WaitUntil(waitMs, [&] { return MidiActive == 0 || midi_.MidiInRunning(0); });
    }
    if ((streamRuns && midiRuns) || shutDown_) return;
    events_->StartStalled(!last);
    if (last) {
      if (!midiRuns) DropMidiIn(true);
      return;
    }
  }
}

bool LivePath::WaitUntil(int32_t durationMs, const std::function<bool()>& done) {
  for (int32_t turn = 0; turn < durationMs / kWaitTurnMs; ++turn) {
    if (done()) return true;
    if (shutDown_) return false;
    WaitMs(kWaitTurnMs, kWaitTurnMs);
  }
  return done();
}

void LivePath::RestartStream() {
  engine_.CloseStream();
  WaitMs(kRestartWaitMs, kWaitTurnMs);
  // The program may have ended while events ran: its devices stay closed.
  if (shutDown_) return;
  engine_.WaveDeviceId = {waveInChoice_.IdToOpen(), waveOutChoice_.IdToOpen()};
  InitStreamAtDeviceRate();
  engine_.OpenStream();
  if (engine_.StreamRunning() == 1) {
    events_->StreamStarted();
  } else {
    events_->StreamNotStarted();
  }
}

// The devices decide the rate (a JACK server restarted at another rate since the last
// start included); the chain and the tuner follow it before the stream opens. A rate the
// program cannot stream at is left to OpenStream, which refuses it with a message.
void LivePath::InitStreamAtDeviceRate() {
  const int32_t rate = devices_.StreamRate(engine_.WaveDeviceId[0], engine_.WaveDeviceId[1]);
  engine_.SampleRate = rate;
  engine_.InitStream();
  if (!IsSupportedSampleRate(rate)) return;
  chain_.SetSampleRate(rate);
  tuner_.SetSampleRate(rate);
}

// A server that goes away takes the streams on it as well, and their end says so in a
// box of its own within a few ticks: that box speaks for the MIDI input too. With the
// streams elsewhere, the input's loss gets a box of its own. Either way the input closes
// only after a box, long after its server's end: closing a JACK client at once after that
// can deadlock inside libjack, which is still taking the client down.
void LivePath::NoticeLostMidiIn(bool streamEndedByItself) {
  if (MidiActive == 0 || !midi_.MidiInLost(0)) {
    midiLostTicks_ = 0;
    return;
  }
  if (!streamEndedByItself && engine_.StreamRunning() == 1 &&
      ++midiLostTicks_ < kLostMidiGraceTicks) {
    return;
  }
  CloseLostMidiIn(!streamEndedByItself);
}

// Before any restart opens a client on a server: see MidiInService::Lost. Program
// changes stop until "Start" opens the input again.
void LivePath::CloseLostMidiIn(bool tellUser) {
  if (MidiActive == 0 || !midi_.MidiInLost(0)) return;
  DropMidiIn(tellUser);
}

void LivePath::DropMidiIn(bool tellUser) {
  if (tellUser) ShowMessage(UiText("DeviceError", kMidiInLostText), kMbOk, "");
  midi_.CloseMidiIn(0);
  MidiActive = 0;
  midiLostTicks_ = 0;
  events_->MidiInLost();
}

void LivePath::ReopenMidiIn() {
  midi_.CloseMidiIn(0);
  MidiActive = 0;
  if (UseMIDIF != 1) return;
  // Ports renumber as others come and go: the service finds the chosen one by name in
  // the list of this moment.
  midi_.MidiInDeviceName[0] = midiInChoice_.Name();
  MidiActive = midi_.OpenMidiIn(0);
  events_->MidiInOpened(midiInChoice_.Name(), midi_.MidiInHandle(0) != 0);
}

void LivePath::ToggleBypass() {
  if (engine_.TunerOn == 1) {
    engine_.TunerOn = 0;
    view_.SetTunerShown(false);
  }
  engine_.BypassOn = engine_.BypassOn == 1 ? 0 : 1;
  SetSelectedButton(engine_.BypassOn == 1 ? kBypassButton : -1);
  events_->ModeChanged(engine_.BypassOn == 1, false);
  RestartStream();
}

void LivePath::ToggleTuner() {
  engine_.TunerOn = engine_.TunerOn == 1 ? 0 : 1;
  SetSelectedButton(engine_.TunerOn == 1 ? kTunerButton : -1);
  view_.SetTunerShown(engine_.TunerOn == 1);
  engine_.BypassOn = 0;
  events_->ModeChanged(false, engine_.TunerOn == 1);
  RestartStream();
}

void LivePath::SetSelectedButton(int32_t button) {
  selectedButton_ = button;
  view_.SetSelectedButton(button);
}

void LivePath::ArmStore() {
  if (!pendingBankName_.empty()) return;
  // The name is stored, shown again and reloaded as the settings file keeps it.
  const std::string name = StorableBankName(view_.TextBank());
  pendingBankName_ = name.empty() ? kNoBankName : name;
  view_.SetTextBank(kStorePrompt);
}

bool LivePath::KeyReleased(int32_t key, int32_t shift, BankSource source) {
  if (uiBusy_ == 1) return false;
  const bool functionKey = key >= kKeyF1 && key <= kKeyF12;
  if (!functionKey && key != kKeyEscape) return false;
  uiBusy_ = 1;
  const ClearOnExit busy(uiBusy_);
  TrapErrors([&] {
    if (functionKey) {
      SelectBank(key - kKeyF1, source);
    } else {
      CancelStore();
    }
  });
  return shift == 0;
}

void LivePath::SelectBank(int32_t n, BankSource source) {
  // A bank is read or written whole, in one replacement of the settings file.
  SettingsBatch batch;
  if (!pendingBankName_.empty()) {
    view_.SetTextBank(pendingBankName_);
    SaveBank(n);
    const std::string name = std::exchange(pendingBankName_, {});
    view_.SetTextNum(ZeroPadded(n + 1, 2));
    events_->BankStored(n, name);
  } else {
    LoadBank(n);
    view_.SetTextNum(ZeroPadded(n + 1, 2));
    events_->BankLoaded(n, view_.TextBank(), source);
  }
}

void LivePath::CancelStore() {
  if (pendingBankName_.empty()) return;
  view_.SetTextBank(pendingBankName_);
  pendingBankName_.clear();
}

void LivePath::LoadBank(int32_t n) {
  Check(n < kBankCount, "bank number");
  const std::string section = BankSection(n);
  const std::string status = LoadBankSection(chain_, levels_, section);
  if (n >= 0) {
    view_.SetTextBank(ReadIniValue(kBankNameKey, SettingValue::Text(kNoBankName), "", section, 1));
  }
  view_.ShowStatus(status);
  for (int effect = 0; effect < kEffectCount; ++effect) {
    view_.SetEffectButton(effect, IsEffectOn(chain_.FxParam, effect));
  }
  view_.EffectSettingsLoaded();
}

void LivePath::SaveBank(int32_t n) {
  Check(n < kBankCount, "bank number");
  const std::optional<std::string> name =
      n >= 0 ? std::optional<std::string>(pendingBankName_) : std::nullopt;
  SaveBankSection(chain_, levels_, BankSection(n), name);
}

void LivePath::EffectClicked(int32_t effect, int32_t mouseButton) {
  if (effect < 0 || effect >= kEffectCount) return;
  TrapErrors([&] {
    if (mouseButton == kMouseLeft) {
      const bool on = !IsEffectOn(chain_.FxParam, effect);
      chain_.FxParam[FxIndex(effect, 0)] = on ? kEffectOn : 0;
      view_.SetEffectButton(effect, on);
      chain_.FxResync[effect] = true;
      chain_.ApplyEffectParams(effect);
    } else if (mouseButton == kMouseRight) {
      const int edited = view_.EditedEffect();
      if (edited >= 0) {
        view_.CloseEffectEditor();
        if (edited == effect) return;
      }
      view_.OpenEffectEditor(effect);
    }
  });
}

void LivePath::EffectHovered(int32_t effect) {
  if (effect < 0 || effect >= kEffectCount) return;
  view_.ShowStatus(std::string(FxName[effect]));
}

void LivePath::SignalFlowHovered() {
  view_.ShowStatus("");
}

void LivePath::LevelChanged(int32_t fader) {
  TrapErrors([&] { view_.ShowStatus(levels_.LevelChanged(fader)); });
}

void LivePath::FaderDoubleClicked(int32_t fader) {
  TrapErrors([&] { view_.ShowStatus(levels_.DoubleClicked(fader)); });
}

}  // namespace ampora
