#pragma once

#include <cstdint>
#include <string>

#include "tuner/tuner_analysis.h"

// What happens on the live path that a log of the performance would tell: the stream
// started or lost, banks loaded and stored, the modes, the MIDI input, the tuner's
// readings. The live path tells a front end that asks for it (LivePath::SetEvents), from
// its entry points, after the change each call tells of. Every member does nothing unless
// a front end overrides it.
//
// Thread: UI thread.

namespace ampora {

// What selected a bank: a function key (also the command line's "F" switch), a command
// of the headless program, or a MIDI program change.
enum class BankSource { kKey, kCommand, kMidi };

class LiveEvents {
 public:
  virtual ~LiveEvents() = default;

  // A Start, Bypass or Tuner action ended with the stream running; or not running (a
  // device failed to open, and said so).
  virtual void StreamStarted() {}
  virtual void StreamNotStarted() {}
  // A device stopped by itself (its audio server went away) and ended the stream.
  virtual void StreamLost() {}

  // n = 0..11; the name as the bank holds it.
  virtual void BankLoaded(int32_t /*n*/, const std::string& /*name*/, BankSource /*source*/) {}
  virtual void BankStored(int32_t /*n*/, const std::string& /*name*/) {}

  // The Bypass or Tuner action switched the mode (before the stream restarts in it).
  virtual void ModeChanged(bool /*bypassOn*/, bool /*tunerOn*/) {}

  // Start opened the MIDI input of that name; opened = false when the device could not
  // be opened (it then stays silent).
  virtual void MidiInOpened(const std::string& /*name*/, bool /*opened*/) {}
  // The MIDI input's device went away; the input is closed until the next Start.
  virtual void MidiInLost() {}
  // The audio server did not run a device of a Start (the stream's or the MIDI input's):
  // the start is made again (retrying), or the retries are used up (a MIDI input it did
  // not run is then lost).
  virtual void StartStalled(bool /*retrying*/) {}

  // An analysis of tuner mode; most repeat the one before.
  virtual void TunerRead(const TunerReading& /*reading*/) {}
};

}  // namespace ampora
