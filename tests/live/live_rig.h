#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/device_clock.h"
#include "audio/engine_rig.h"
#include "live/live_path.h"
#include "live/live_view.h"
#include "support/scripted_midi_service.h"
#include "support/settings_fixture.h"

namespace ampora::test {

// A main window that only remembers what it was told to show.
class RecordingView final : public LiveView {
 public:
  LevelFader& Fader(int fader) override { return fader == kInFader ? in : out; }
  void SetTextNum(const std::string& text) override { textNum = text; }
  std::string TextBank() const override { return textBank; }
  void SetTextBank(const std::string& text) override { textBank = text; }
  void SetEffectButton(int effect, bool on) override { effectOn.at(effect) = on; }
  void ShowStatus(const std::string& text) override { status = text; }
  void SetStartCaption(const std::string& caption) override { startCaption = caption; }
  void SetSelectedButton(int32_t button) override { selectedButton = button; }
  void SetTunerShown(bool shown) override { tunerShown = shown; }
  void DrawTuner(const TunerReading& reading) override { tunerReadings.push_back(reading); }
  int EditedEffect() const override { return editedEffect; }
  void CloseEffectEditor() override;
  void OpenEffectEditor(int effect) override;
  void EffectSettingsLoaded() override;

  FaderModel in{true};
  FaderModel out;
  std::string textNum;
  std::string textBank;
  std::array<bool, kEffectCount> effectOn{};
  std::string status;
  std::string startCaption = kStartCaption;
  int32_t selectedButton = -1;
  bool tunerShown = false;
  std::vector<TunerReading> tunerReadings;
  int editedEffect = -1;
  std::vector<std::string> editorCalls;  // "close", "open 3"
  // Runs at every EffectSettingsLoaded, to look at the live path as the editor would.
  std::function<void()> onEffectSettingsLoaded;
  int effectSettingsLoaded = 0;
};

// A live path on the built-in devices with a manual clock and a scripted MIDI service,
// over a settings file of its own. Waits take no real time: their clock moves 50 ms each time
// events run, and a test may run a scripted action there (once) to play a user acting during a wait
// or a poll.
class LiveTest : public SettingsFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the settings file, builds the live path (replacing one built before) and
  // runs its start-up. The built-in devices run on the given clock, else on clock.
  void StartWith(const std::string& iniText, DeviceClock* deviceClock = nullptr);
  // The built-in devices capture and play this many frames.
  void Advance(int32_t frames) { clock.Advance(frames); }
  // The action runs the next time events are let run, once.
  void DuringNextEvents(std::function<void()> action) { duringEvents_ = std::move(action); }

  LivePath& Live() { return *live_; }
  StreamEngine& Engine() { return live_->Engine(); }
  // The value of a key of a section, "" when absent.
  std::string Stored(const std::string& section, const std::string& key) const;

  // The device layer of the next StartWith: the built-in devices only, unless a test
  // asks for real ones.
  DeviceConfig devices = [] {
    DeviceConfig config;
    config.realDevices = false;
    return config;
  }();
  // The MIDI input ports of the machine, as the live path finds them when it looks.
  std::vector<std::string> midiPorts{"keys A", "keys B"};
  ManualClock clock;
  ScriptedMidiService midiService;
  RecordingView view;
  MessageLog messages;
  int32_t eventTurns = 0;

 private:
  double waitClock_ = 1000.0;
  std::function<void()> duringEvents_;
  std::unique_ptr<LivePath> live_;
};

}  // namespace ampora::test
