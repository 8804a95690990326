#include "live/live_path.h"

#include <optional>
#include <utility>

#include "effects/bank_transfer.h"
#include "effects/effect_catalogue.h"
#include "live/banks.h"
#include "live/start_switches.h"
#include "midi/midi_ports.h"
#include "settings/settings_batch.h"
#include "settings/settings_store.h"
#include "settings/user_store.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"
#include "util/pending_events.h"
#include "util/text.h"
#include "util/wait.h"

namespace ampora {

namespace {

constexpr int32_t kBankCount = 12;
// The waits sleep this long between turns of letting events run.
constexpr int32_t kWaitTurnMs = 1;

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

DeviceNameSource MidiInputsOf(DeviceNameSource names) {
  return names ? std::move(names) : DeviceNameSource([](int32_t direction) { return MidiPortNames(direction); });
}

}  // namespace

LivePath::LivePath(LiveView& view, LiveSetup setup)
    : view_(view),
      devices_(std::move(setup.devices), setup.clock),
      waveCatalogue_([this](int32_t direction) { return devices_.Names(direction); }),
      midiCatalogue_(MidiInputsOf(std::move(setup.midiInputs))),
      engine_(devices_.WaveIn(), devices_.WaveOut(), chain_),
      chain_(engine_.Buffers()),
      levels_(view.Fader(kInFader), view.Fader(kOutFader), engine_.Buffers()) {}

void LivePath::StartUp() {
  SettingsBatch batch;
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
    engine_.WaveDeviceId = {waveCatalogue_.DeviceIdByName(1, s.DeviceIn, 0),
                            waveCatalogue_.DeviceIdByName(0, s.DeviceOut, 0)};
  });
  TrapErrors([&] { MidiInDeviceId = midiCatalogue_.DeviceIdByName(1, s.MidiInDeviceName, 0); });
  MidiCh = s.MidiCh;
  TrapErrors([&] { engine_.InitStream(); });
  TrapErrors([&] { chain_.InitEffectTables(); });
  TrapErrors([&] { LoadBank(-1); });
  UseMIDIF = s.UseMIDIF;
}

MainSettings LivePath::SettingsToKeep() const {
  MainSettings s = startSettings_;
  s.DeviceIn = waveCatalogue_.DeviceName(1, engine_.WaveDeviceId[0]);
  s.DeviceOut = waveCatalogue_.DeviceName(0, engine_.WaveDeviceId[1]);
  s.BufferMS = engine_.BufferMS;
  s.DelayMinMS = engine_.DelayMinMS;
  s.DelayMaxMS = engine_.DelayMaxMS;
  s.MidiInDeviceName = midiCatalogue_.DeviceName(1, MidiInDeviceId);
  s.MidiCh = MidiCh;
  s.UseMIDIF = UseMIDIF;
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
  TrapErrors([&] { engine_.CloseStream(); });
  TrapErrors([&] { chain_.FreeEffectTables(); });
  WaitMs(kRestartWaitMs, kWaitTurnMs);
  return true;
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
  if (engine_.StreamRunning() == 1) engine_.PollStream();
}

void LivePath::ButtonClicked(int32_t button) {
  if (uiBusy_ == 1) return;
  uiBusy_ = 1;
  const ClearOnExit busy(uiBusy_);
  TrapErrors([&] {
    switch (button) {
      case kStartButton:
        RestartStream();
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
  });
}

void LivePath::RestartStream() {
  engine_.CloseStream();
  WaitMs(kRestartWaitMs, kWaitTurnMs);
  engine_.InitStream();
  engine_.OpenStream();
}

void LivePath::ToggleBypass() {
  if (engine_.TunerOn == 1) {
    engine_.TunerOn = 0;
    view_.SetTunerShown(false);
  }
  engine_.BypassOn = engine_.BypassOn == 1 ? 0 : 1;
  SetSelectedButton(engine_.BypassOn == 1 ? kBypassButton : -1);
  RestartStream();
}

void LivePath::ToggleTuner() {
  engine_.TunerOn = engine_.TunerOn == 1 ? 0 : 1;
  SetSelectedButton(engine_.TunerOn == 1 ? kTunerButton : -1);
  view_.SetTunerShown(engine_.TunerOn == 1);
  engine_.BypassOn = 0;
  RestartStream();
}

void LivePath::SetSelectedButton(int32_t button) {
  selectedButton_ = button;
  view_.SetSelectedButton(button);
}

void LivePath::ArmStore() {
  if (!pendingBankName_.empty()) return;
  const std::string name = view_.TextBank();
  pendingBankName_ = name.empty() ? kNoBankName : name;
  view_.SetTextBank(kStorePrompt);
}

bool LivePath::KeyReleased(int32_t key, int32_t shift) {
  if (uiBusy_ == 1) return false;
  const bool functionKey = key >= kKeyF1 && key <= kKeyF12;
  if (!functionKey && key != kKeyEscape) return false;
  uiBusy_ = 1;
  const ClearOnExit busy(uiBusy_);
  TrapErrors([&] {
    if (functionKey) {
      SelectBank(key - kKeyF1);
    } else {
      CancelStore();
    }
  });
  return shift == 0;
}

void LivePath::SelectBank(int32_t n) {
  if (!pendingBankName_.empty()) {
    view_.SetTextBank(pendingBankName_);
    SaveBank(n);
    pendingBankName_.clear();
  } else {
    LoadBank(n);
  }
  view_.SetTextNum(ZeroPadded(n + 1, 2));
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
