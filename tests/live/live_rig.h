#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/device_clock.h"
#include "audio/engine_rig.h"
#include "live/live_path.h"
#include "live/model_view.h"
#include "support/scripted_midi_service.h"
#include "support/settings_fixture.h"

namespace ampora::test {

// The view without a screen, which also records the tuner readings drawn and the
// effect editor's openings and closings.
class RecordingView final : public ModelView {
 public:
  void DrawTuner(const TunerReading& reading) override;
  void CloseEffectEditor() override;
  void OpenEffectEditor(int effect) override;
  void EffectSettingsLoaded() override;

  std::vector<TunerReading> tunerReadings;
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
  // Builds the live path over the view (replacing one built before) on the rig's machine:
  // the setup's devices and MIDI become the rig's. Nothing is read.
  LivePath& Build(LiveSetup setup, DeviceClock* deviceClock = nullptr);
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
