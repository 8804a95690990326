#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "live/live_events.h"
#include "live/live_path.h"
#include "live/model_view.h"

// What the program without a window says on standard output: one line for each event of
// the live path that a player would want in a log (live/live_events.h), plain text, one
// event each, flushed at once so that a service's log has it when it happens. In tuner
// mode the note read, once per change. The lines:
//   stream started: input "system", output "system", 48000 Hz, blocks of 336 frames (7 ms),
//     lag 20..70 ms                                        (one line)
//   stream not started          (the reason went to standard error)
//   device lost: stream stopped
//   bank 05 "Crunch lead" loaded by key|command|MIDI
//   bank 05 "Crunch lead" stored
//   bypass on|off, tuner on|off
//   MIDI input opened: "name", MIDI input not opened: "name", MIDI input lost
//   tuner: E2 -3 cents, tuner: A4, tuner: no note
//
// Thread: UI thread.

namespace ampora {

class EventLog final : public LiveEvents {
 public:
  // The live path must outlive the object.
  EventLog(LivePath& live, std::ostream& out) : live_(live), out_(out) {}

  // A line of the program's own (a command's answer), as the events are written.
  void Say(const std::string& line);

  void StreamStarted() override;
  void StreamNotStarted() override;
  void StreamLost() override;
  void BankLoaded(int32_t n, const std::string& name, BankSource source) override;
  void BankStored(int32_t n, const std::string& name) override;
  void ModeChanged(bool bypassOn, bool tunerOn) override;
  void MidiInOpened(const std::string& name, bool opened) override;
  void MidiInLost() override;
  void StartStalled(bool retrying) override;
  void TunerRead(const TunerReading& reading) override;

 private:
  LivePath& live_;
  std::ostream& out_;
  bool bypassOn_ = false;
  bool tunerOn_ = false;
  // The pitch of the last tuner line; none before the first.
  // The tuner's last line: its note and whole cents, nothing for "no note"; nothing
  // said yet while the outer optional is empty.
  struct TunerLine {
    int32_t note = 0;
    int32_t cents = 0;
    bool operator==(const TunerLine&) const = default;
  };
  std::optional<std::optional<TunerLine>> tunerShown_;
};

// The name of a device of the open stream (direction 1 input, 0 output), "default" for
// the interface's default device.
std::string OpenDeviceName(LivePath& live, int32_t direction);

// A fader's levels: "in +5 dB", "out -3 dB", split "out L -3 dB R +2 dB".
std::string LevelText(const Levels& levels, int fader);

// The answer to "status": the stream and its mode, the bank, the levels, the effects
// that are on and the MIDI input, in one line.
std::string StatusLine(LivePath& live, const ModelView& view);

// A text in double quotes, its control characters shown as "?": names come from a
// hand-edited settings file or from devices, and must not steer a terminal.
std::string Quoted(const std::string& text);

}  // namespace ampora
