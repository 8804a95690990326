#include "midi/midi_ports.h"

#include <rtmidi/RtMidi.h>

#include "util/text.h"

namespace ampora {

namespace {

template <class Port>
std::vector<std::string> PortNames(RtMidi::Api api) {
  Port midi(api, "ampora");
  std::vector<std::string> names;
  for (unsigned int i = 0, count = midi.getPortCount(); i < count; ++i) {
    names.push_back(midi.getPortName(i));
  }
  return names;
}

}  // namespace

MidiPortList ScanMidiPorts(int32_t direction, const std::string& apiName) {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  const RtMidi::Api named = RtMidi::getCompiledApiByName(LowerAscii(apiName));
  if (named != RtMidi::UNSPECIFIED && named != RtMidi::RTMIDI_DUMMY) apis = {named};
  for (RtMidi::Api api : apis) {
    if (api == RtMidi::RTMIDI_DUMMY) continue;
    try {
      std::vector<std::string> names =
          direction == 1 ? PortNames<RtMidiIn>(api) : PortNames<RtMidiOut>(api);
      if (!names.empty()) return MidiPortList{api, std::move(names)};
    } catch (const RtMidiError&) {
      // An interface that is not there (no sequencer, no server) has no ports.
    }
  }
  return MidiPortList{};
}

std::vector<std::string> MidiApiNames() {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  std::vector<std::string> names;
  for (RtMidi::Api api : apis) {
    if (api != RtMidi::RTMIDI_DUMMY) names.push_back(RtMidi::getApiName(api));
  }
  return names;
}

std::vector<std::string> MidiPortNames(int32_t direction, const std::string& apiName) {
  return ScanMidiPorts(direction, apiName).names;
}

}  // namespace ampora
