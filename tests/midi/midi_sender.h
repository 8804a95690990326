#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ampora::test {

// Another MIDI client of the tests, the controller the input listens to: one output port
// "<clientName>:keys" that sends short messages to whoever connects to it.
//
// Over JACK it is the tests' JACK client (support/test_jack_client.h). RtMidi's JACK
// output frees the queue its process callback reads before it closes its client, so the
// callback can read freed memory while the sender is deleted (a cycle that began before
// the port was closed is still running); ours deactivates the client, which stops the
// callback, before freeing anything. Over the ALSA sequencer it is an RtMidiOut, which sends
// without a thread.
//
// Thread: one thread at a time, any thread.
class MidiSender {
 public:
  // api: "jack" or "alsa". nullptr when the interface has no server to connect to.
  static std::unique_ptr<MidiSender> Open(const std::string& api, const std::string& clientName);
  virtual ~MidiSender() = default;

  // Sends one short message; waits while the transport's queue is full.
  virtual void Send(const std::vector<unsigned char>& message) = 0;
};

}  // namespace ampora::test
