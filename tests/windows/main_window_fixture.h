#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/devices/device_clock.h"
#include "settings/settings_batch.h"
#include "support/scripted_midi_service.h"
#include "support/settings_fixture.h"
#include "util/pending_events.h"
#include "util/twips.h"
#include "util/wait.h"
#include "windows/main_window.h"

namespace ampora::test {

// The main window over the built-in devices on a manual clock, a settings file of its own,
// and waits that take no real time.
class MainWindowFixture : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    TwipsPerPixel = 15;
    SetWaitClock([this] { return waitClock_; });
    SetPendingEventsHook([this] { waitClock_ += 0.05; });
  }
  void TearDown() override {
    window_.reset();
    SetPendingEventsHook({});
    SetWaitClock({});
    SettingsFixture::TearDown();
  }

  // A new window (the one before it closed) on the settings file iniText, loaded.
  FrmMain& Open(const std::string& iniText) {
    window_.reset();
    WriteFileText(IniPath(), iniText);
    LiveSetup setup;
    setup.devices.realDevices = false;
    setup.clock = &clock_;
    setup.midiInputs = [](int32_t) { return std::vector<std::string>{"keys"}; };
    setup.midiService = &midi_;
    window_ = std::make_unique<FrmMain>(std::move(setup));
    {
      SettingsBatch startUp;  // as the program's start-up holds one
      window_->Load();
    }
    return *window_;
  }
  FrmMain& Window() { return *window_; }

 private:
  double waitClock_ = 1000.0;
  ManualClock clock_;
  ScriptedMidiService midi_;
  std::unique_ptr<FrmMain> window_;
};

}  // namespace ampora::test
