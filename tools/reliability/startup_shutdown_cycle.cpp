#include "reliability/startup_shutdown_cycle.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "audio/block_layout.h"
#include "audio/devices/audio_devices.h"
#include "controls/language_mode.h"
#include "effects/effect_catalogue.h"
#include "live/banks.h"
#include "live/live_path.h"
#include "live/live_program.h"
#include "live/model_view.h"
#include "live/window_placement.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"
#include "settings/setting_number.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "settings/stored_text.h"
#include "util/error_trap.h"
#include "util/files.h"
#include "util/folders.h"
#include "util/pending_events.h"
#include "util/text.h"
#include "util/wait.h"

namespace ampora::reliability {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// The main window's placement as a 1920 x 1080 screen at 15 twips per pixel holds it,
// opening at its designed place.
class WindowModel final : public PlacedWindow {
 public:
  int16_t WindowState() const override { return state_; }
  void SetWindowState(int16_t state) override { state_ = state; }
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return 7905; }
  float Height() const override { return 4710; }
  void Move(int32_t left, int32_t top) override {
    left_ = static_cast<float>(left);
    top_ = static_cast<float>(top);
  }
  void SetWidth(float) override {}
  void SetHeight(float) override {}
  float ScreenWidth() const override { return 1920 * 15; }
  float ScreenHeight() const override { return 1080 * 15; }

 private:
  int16_t state_ = kWindowNormal;
  float left_ = 1440;
  float top_ = 1440;
};

// A MIDI input that is never opened: start-up and shut-down only close it.
class ClosedMidiService final : public MidiInService {
 public:
  MidiHandle Open(const std::string&, MidiReceiver, void*) override { return 0; }
  void Start(MidiHandle) override {}
  void Close(MidiHandle) override {}
};

}  // namespace

StartUpShutDownRig::StartUpShutDownRig(const std::string& folder) : folder_(folder) {
  MakeFolders(folder_ + "app/");
  MakeFolders(folder_ + "config/");
  MakeFolders(folder_ + "runtime/");
  setenv("XDG_CONFIG_HOME", (folder_ + "config/").c_str(), 1);
  OverrideAppFolder(folder_ + "app/");
  InitSettingsPaths();
  // Every turn of events moves the waits' clock on by a second: a wait ends at its first
  // turn, without sleeping.
  SetWaitClock([this] { return clock_; });
  SetPendingEventsHook([this] { clock_ = std::fmod(clock_ + 1.0, kSecondsPerDay); });
}

StartUpShutDownRig::~StartUpShutDownRig() {
  SetPendingEventsHook({});
  SetWaitClock({});
  OverrideAppFolder("");
}

std::string StartUpShutDownRig::SettingsFile() const {
  return SettingsIniPath;
}

namespace {

// The program's run as the main window makes it, with the window's widgets, fonts and
// painting left out: its placement restored onto a window model and saved from it, the
// language-mode setting read. The loop only takes what the start-up left and ends at once.
class CycleFrontEnd final : public LiveFrontEnd {
 public:
  CycleFrontEnd(LiveSetup machine, CycleOutcome& outcome, LiveProgram*& program)
      : machine_(std::move(machine)), outcome_(outcome), program_(program) {}

  LivePath& Build(LiveSetup setup) override {
    setup.devices.realDevices = false;
    setup.clock = machine_.clock;
    setup.midiInputs = machine_.midiInputs;
    setup.midiService = machine_.midiService;
    return live_.emplace(view_, std::move(setup));
  }
  void Load() override {
    live_->StartUp();
    ReadLangMode();
    RunPendingEvents();
    RestoreWindowPlacement(window_, "", 1, 0, 0);
  }
  void Unload() override {
    live_->ShutDown([&] { SaveWindowPlacement(window_, "", 1, 0); });
  }
  int RunLoop() override {
    outcome_.fx = live_->Chain().FxParam;
    outcome_.levels = live_->LevelState().Stored();
    const StreamEngine& engine = live_->Engine();
    outcome_.timing = {engine.BufferMS, engine.DelayMinMS, engine.DelayMaxMS};
    outcome_.waveDevices = {live_->WaveInChoice().IdToOpen(), live_->WaveOutChoice().IdToOpen()};
    outcome_.deviceNames = {live_->WaveInChoice().Name(), live_->WaveOutChoice().Name(),
                            live_->MidiInChoice().Name()};
    outcome_.midi = {live_->MidiInChoice().IdToOpen(), live_->MidiCh, live_->UseMIDIF};
    outcome_.windowEdges = {window_.Left(), window_.Top()};
    outcome_.windowState = window_.WindowState();
    program_->AskToEnd();
    return 0;
  }
  void EndLoop() override {}

 private:
  LiveSetup machine_;
  CycleOutcome& outcome_;
  LiveProgram*& program_;
  ModelView view_;
  WindowModel window_;
  std::optional<LivePath> live_;
};

}  // namespace

CycleOutcome StartUpShutDownRig::Run(const std::string& settingsText) {
  CycleOutcome outcome;
  ReplaceFileAtomically(SettingsFile(), settingsText);
  ErrorCatch = 0;
  ManualClock deviceClock;
  ClosedMidiService midiService;
  LiveSetup machine;
  machine.clock = &deviceClock;
  machine.midiInputs = [this](int32_t) { return midiPorts_; };
  machine.midiService = &midiService;
  LiveProgram* program = nullptr;
  try {
    CycleFrontEnd frontEnd(std::move(machine), outcome, program);
    LiveProgram run(frontEnd, folder_ + "runtime/");
    program = &run;
    run.Run("");
  } catch (const RuntimeError& error) {
    outcome.endedByErrorReport = true;
    outcome.errorText = error.what();
  }
  ErrorCatch = 0;
  outcome.written = ReadWholeFile(SettingsFile(), kMaxProfileFileBytes + 65536).value_or("");
  return outcome;
}

namespace {

std::optional<double> Number(const std::optional<std::string>& text) {
  return text ? ParseSettingNumber<double>(*text) : std::nullopt;
}

bool InRange(const std::optional<std::string>& text, double lo, double hi) {
  const std::optional<double> value = Number(text);
  return value && *value >= lo && *value <= hi;
}

// As the program reads an integer setting: rounded to nearest.
bool RoundsToInt32(const std::optional<std::string>& text) {
  const std::optional<double> value = Number(text);
  return value && std::nearbyint(*value) >= INT32_MIN && std::nearbyint(*value) <= INT32_MAX;
}

// As the program writes one.
bool IsInt32(const std::optional<std::string>& text) {
  const std::optional<double> value = Number(text);
  return RoundsToInt32(text) && std::nearbyint(*value) == *value;
}

// A device kept by the name start-up read, also one that names no device: the user's
// choice outlives a run without the device. The stored text is taken as the store reads
// it (cut to the length a read keeps): a file the program could not write still holds a
// longer name than the one it read.
bool IsKeptName(const std::optional<std::string>& stored, const std::string& name) {
  const std::optional<std::string> read = ReadableIniValue(stored);
  return read && *read == name;
}

// The keys a bank section holds: the levels, the name, and every used row.
std::vector<std::string> BankKeys() {
  std::vector<std::string> keys = {"LevelInL", "LevelInR", "LevelOutL", "LevelOutR"};
  FxParamTable defaults{};
  ResetEffectParams(defaults);
  for (int effect = 0; effect < kEffectCount; ++effect) {
    for (int row = 0; row < kParamRows; ++row) {
      if (defaults[FxIndex(effect, row)] != kNoParam) keys.push_back(ParamKey(effect, row));
    }
  }
  return keys;
}

std::string WrittenFileFault(const std::string& generated, const CycleOutcome& run) {
  const std::string& written = run.written;
  const ProfileText file(written);
  // As the store reads a value: up to its first NUL (a value kept from the generated
  // file, such as a window edge, may hold one).
  const auto conf = [&](const char* key) -> std::optional<std::string> {
    const std::optional<std::string> value = file.Get("conf", key);
    if (!value) return std::nullopt;
    return std::string(BeforeNul(*value));
  };
  if (!InRange(conf("BufferMS"), kBufferMsMin, kBufferMsMax)) return "BufferMS out of range";
  if (!InRange(conf("DelayMinMS"), kDelayMinMsMin, kDelayMinMsMax)) {
    return "DelayMinMS out of range";
  }
  if (!InRange(conf("DelayMaxMS"), kDelayMaxMsMin, kDelayMaxMsMax)) {
    return "DelayMaxMS out of range";
  }
  for (const char* key : {"MidiCh", "UseMIDIF"}) {
    if (!IsInt32(conf(key))) return std::string(key) + " is no 32-bit integer";
  }
  for (const char* key : {"LogError", "ErrorCatch", "AltFont", "LangMode"}) {
    if (!conf(key)) return std::string(key) + " missing";
  }
  const std::array<const char*, 3> deviceKeys = {"DeviceIn", "DeviceOut", "MidiInDeviceName"};
  for (size_t i = 0; i < deviceKeys.size(); ++i) {
    if (!IsKeptName(file.Get("conf", deviceKeys[i]), run.deviceNames[i])) {
      return std::string(deviceKeys[i]) + " lost the chosen device";
    }
  }
  if (!InRange(conf("WindowState"), kWindowNormal, kWindowMaximised)) {
    return "WindowState out of range";
  }
  // Kept from the last run in normal state when the window closed minimised or maximised,
  // and then as the restore read them: rounded to a 32-bit integer.
  for (const char* key : {"WindowLeft", "WindowTop"}) {
    if (!RoundsToInt32(conf(key))) return std::string(key) + " missing or out of range";
  }

  static const std::vector<std::string> kBankKeys = BankKeys();
  for (const std::string& key : kBankKeys) {
    const std::optional<std::string> value = file.Get(kCurrentSection, key);
    const bool level = key.starts_with("Level");
    if (level ? !InRange(value, kFaderMinDb, kFaderMaxDb) : !IsInt32(value)) {
      return "Current " + key + (value ? " holds " + value->substr(0, 40) : " missing");
    }
  }
  // The banks are not touched by a start-up and a shut-down.
  const ProfileText before(generated);
  for (int bank = 0; bank < 12; ++bank) {
    const std::string section = BankSection(bank);
    // Every seventh key, another seventh in each bank and file: reading every key of every
    // bank would take longer than the cycles themselves.
    for (std::size_t k = (generated.size() + static_cast<std::size_t>(bank)) % 7;
         k < kBankKeys.size(); k += 7) {
      const std::string& key = kBankKeys[k];
      if (before.Get(section, key) != file.Get(section, key))
        return section + " " + key + " changed";
    }
    if (before.Get(section, kBankNameKey) != file.Get(section, kBankNameKey)) {
      return section + " name changed";
    }
  }
  return {};
}

}  // namespace

std::string CycleFault(const std::string& generated, const CycleOutcome& first,
                       const CycleOutcome& second) {
  if (generated.size() > kMaxProfileFileBytes) {
    return first.written == generated ? "" : "a file beyond the size limit was rewritten";
  }
  // The error report ends the program without a shut-down: nothing more is promised.
  if (first.endedByErrorReport) return {};
  std::string fault = WrittenFileFault(generated, first);
  if (!fault.empty()) return "written file: " + fault;
  if (second.endedByErrorReport) return "the written file ends the next start: " + second.errorText;
  if (second.written != first.written) {
    return "the written file changes at the next run";
  }
  if (second.fx != first.fx || second.levels.LevelIn != first.levels.LevelIn ||
      second.levels.LevelOut != first.levels.LevelOut) {
    return "the next start loads another working setting than was kept";
  }
  if (second.timing != first.timing || second.waveDevices != first.waveDevices ||
      second.deviceNames != first.deviceNames || second.midi != first.midi) {
    return "the next start reads other main settings than were kept";
  }
  if (second.windowEdges != first.windowEdges || second.windowState != first.windowState) {
    return "the next start places the window elsewhere";
  }
  return {};
}

}  // namespace ampora::reliability
