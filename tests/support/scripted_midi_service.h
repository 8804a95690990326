#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "midi/midi_in_service.h"

namespace ampora::test {

// A MIDI service under the test's control: it records the calls it gets, and the test
// delivers messages itself (on any thread, as the real service would on its own).
class ScriptedMidiService final : public MidiInService {
 public:
  MidiHandle Open(const std::string& deviceName, MidiReceiver receiver, void* instance) override {
    calls.push_back("open " + deviceName);
    if (failOpen) return 0;
    receiver_ = receiver;
    instance_ = instance;
    ++lastHandle;
    if (stalledOpens > 0) {
      --stalledOpens;
      stalled.push_back(lastHandle);
    }
    return lastHandle;
  }
  void Start(MidiHandle handle) override { calls.push_back("start " + std::to_string(handle)); }
  void Close(MidiHandle handle) override { calls.push_back("close " + std::to_string(handle)); }
  bool Lost(MidiHandle handle) const override { return handle == lostHandle; }
  bool Running(MidiHandle handle) const override {
    return std::find(stalled.begin(), stalled.end(), handle) == stalled.end();
  }

  void Deliver(uint32_t message, MidiHandle handle) const { receiver_(instance_, handle, message); }
  void Deliver(uint32_t message) const { Deliver(message, lastHandle); }

  bool failOpen = false;
  MidiHandle lastHandle = 0;
  MidiHandle lostHandle = 0;  // the device whose server went away
  // The next this many devices opened are never run by their server.
  int32_t stalledOpens = 0;
  std::vector<MidiHandle> stalled;
  std::vector<std::string> calls;

 private:
  MidiReceiver receiver_ = nullptr;
  void* instance_ = nullptr;
};

// The packed short message of a Program Change.
constexpr uint32_t ProgramChange(int32_t channel, int32_t program) {
  return static_cast<uint32_t>(0xC0 + channel) | static_cast<uint32_t>(program) << 8;
}

}  // namespace ampora::test
