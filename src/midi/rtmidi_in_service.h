#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "midi/midi_in_service.h"

// The system's MIDI input: the ALSA sequencer through RtMidi, or JACK MIDI through a JACK
// client of our own (jack_midi_in.h), on the interface the MIDI port lists choose for the
// same interface name (midi_ports.h). The port is found by name in a list read by the
// very client that opens it, so ports that come and go meanwhile cannot swap it.

namespace ampora {

// Thread: UI thread, every member. RtMidi calls back on the ALSA sequencer's input thread,
// the JACK client on the server's process thread; there the port's message is packed and
// handed to the receiver.
class RtMidiInService final : public MidiInService {
 public:
  // apiName: "alsa" or "jack" (any case); empty or unknown = the first compiled interface
  // that has input ports.
  explicit RtMidiInService(std::string apiName);
  ~RtMidiInService() override;

  MidiHandle Open(const std::string& deviceName, MidiReceiver receiver, void* instance) override;
  void Start(MidiHandle handle) override;
  void Close(MidiHandle handle) override;
  bool Lost(MidiHandle handle) const override;
  bool Running(MidiHandle handle) const override;

 private:
  struct Port;
  // RtMidi's thread, for every message it did not filter out.
  static void OnMessage(double timeStamp, std::vector<unsigned char>* message, void* port);
  // Packs the message and hands it to the port's receiver (RtMidi's or the JACK server's
  // thread).
  static void Deliver(const unsigned char* bytes, size_t size, void* port);

  std::string apiName_;
  std::map<MidiHandle, std::unique_ptr<Port>> ports_;
  MidiHandle lastHandle_ = 0;
};

}  // namespace ampora
