#include "live/live_rig.h"

#include "settings/settings_batch.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/pending_events.h"
#include "util/wait.h"

namespace ampora::test {

void RecordingView::DrawTuner(const TunerReading& reading) {
  tunerReadings.push_back(reading);
  ModelView::DrawTuner(reading);
}

void RecordingView::CloseEffectEditor() {
  editorCalls.push_back("close");
  ModelView::CloseEffectEditor();
}

void RecordingView::OpenEffectEditor(int effect) {
  editorCalls.push_back("open " + std::to_string(effect));
  ModelView::OpenEffectEditor(effect);
}

void RecordingView::EffectSettingsLoaded() {
  ++effectSettingsLoaded;
  if (onEffectSettingsLoaded) onEffectSettingsLoaded();
}

void LiveTest::SetUp() {
  SettingsFixture::SetUp();
  SetWaitClock([this] { return waitClock_; });
  SetPendingEventsHook([this] {
    ++eventTurns;
    waitClock_ += 0.05;
    if (duringEvents_) std::exchange(duringEvents_, nullptr)();
  });
}

void LiveTest::TearDown() {
  live_.reset();
  SetPendingEventsHook({});
  SetWaitClock({});
  ErrorCatch = 0;
  SettingsFixture::TearDown();
}

void LiveTest::StartWith(const std::string& iniText, DeviceClock* deviceClock) {
  live_.reset();
  WriteFileText(IniPath(), iniText);
  LivePath& live = Build(LiveSetup{}, deviceClock);
  SettingsBatch startUp;  // as the program's start-up holds one
  live.StartUp();
}

LivePath& LiveTest::Build(LiveSetup setup, DeviceClock* deviceClock) {
  live_.reset();
  setup.devices = devices;
  setup.clock = deviceClock != nullptr ? deviceClock : &clock;
  setup.midiInputs = [this](int32_t) { return midiPorts; };
  setup.midiService = &midiService;
  live_ = std::make_unique<LivePath>(view, std::move(setup));
  return *live_;
}

std::string LiveTest::Stored(const std::string& section, const std::string& key) const {
  return ReadIniValue(key, SettingValue::Text(""), IniPath(), section, 0);
}

}  // namespace ampora::test
