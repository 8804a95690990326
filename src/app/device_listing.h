#pragma once

#include <ostream>

// What "ampora --list-devices" prints: the audio inputs and outputs of every audio
// interface the program can use (JACK, ALSA, PulseAudio), the built-in devices, and the
// MIDI inputs of every MIDI interface, each as the settings line that chooses it
// (section [conf] of the settings file).
//
// Thread: the program's main thread.

namespace ampora {

void ListDevices(std::ostream& out);

}  // namespace ampora
