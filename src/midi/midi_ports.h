#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The MIDI ports of the machine: those of the MIDI interface named by the setting
// "MidiApi" ("alsa" for the ALSA sequencer, "jack" for JACK MIDI, any case), or, when it
// is empty or names no compiled interface, of the first compiled interface (ALSA
// sequencer, then JACK) that answers and has ports of the direction asked for. The ALSA
// sequencer's ports are listed by RtMidi, JACK's by a JACK client of our own, which has
// no port and is never activated.
//
// Thread: UI thread.

namespace ampora {

struct MidiPortList {
  int32_t api = 0;  // RtMidi::Api; 0 = none. The MIDI input opens port ids of this list.
  std::vector<std::string> names;  // in port order: the device ids
};

inline constexpr const char kMidiApiKey[] = "MidiApi";

// Lists the ports of one interface (an RtMidi::Api); an interface that does not answer
// has none.
using MidiPortLister = std::function<std::vector<std::string>(int32_t api)>;

// The ports of the interface apiName chooses, each interface listed by list.
MidiPortList FindMidiPorts(const std::string& apiName, const MidiPortLister& list);

// direction: 1 = input, 0 = output. Never throws; no interface gives an empty list. Each
// interface is listed by a client that is closed again at once.
MidiPortList ScanMidiPorts(int32_t direction, const std::string& apiName = "");

// The names of the compiled MIDI interfaces ("alsa", "jack"), in the order an empty name
// tries them.
std::vector<std::string> MidiApiNames();

// The names of ScanMidiPorts, for the device catalogue.
std::vector<std::string> MidiPortNames(int32_t direction, const std::string& apiName = "");

bool IsJackMidiApi(int32_t api);

}  // namespace ampora
