#include "midi/midi_ports.h"

#include <rtmidi/RtMidi.h>

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

MidiPortList ScanMidiPorts(int32_t direction) {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
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

std::vector<std::string> MidiPortNames(int32_t direction) {
  return ScanMidiPorts(direction).names;
}

}  // namespace ampora
