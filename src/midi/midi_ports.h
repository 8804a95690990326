#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The MIDI ports of the machine, through RtMidi: the first compiled MIDI interface (ALSA
// sequencer, JACK) that answers and has ports of the direction asked for.
//
// Thread: UI thread.

namespace ampora {

struct MidiPortList {
  int32_t api = 0;  // RtMidi::Api; 0 = none. The MIDI input opens port ids of this list.
  std::vector<std::string> names;  // in port order: the device ids
};

// direction: 1 = input, 0 = output. Never throws; no interface gives an empty list.
MidiPortList ScanMidiPorts(int32_t direction);

// The names of ScanMidiPorts, for the device catalogue.
std::vector<std::string> MidiPortNames(int32_t direction);

}  // namespace ampora
