#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/devices/owned_jack_client.h"

// One MIDI input on a JACK server, as a JACK client of its own with one MIDI port,
// connected to a source port.
//
// Not through RtMidi, whose JACK backend unregisters its port from a client whose server
// went away, which crashes inside libjack (after the server's end, closing the client is
// the one call libjack still takes). Here the client is closed without touching its port.
//
// Thread: UI thread, every member; the messages are delivered on the server's process
// thread.

namespace ampora {

class JackMidiIn {
 public:
  // Called for every event of a period, in order: no blocking, no allocation.
  using Deliver = void (*)(const unsigned char* bytes, size_t size, void* user);

  JackMidiIn() = default;
  ~JackMidiIn() { Close(); }
  JackMidiIn(const JackMidiIn&) = delete;
  JackMidiIn& operator=(const JackMidiIn&) = delete;

  // Opens a client named clientName (JACK adds a number when the name is taken) with the
  // input port portName; false when no server runs or it refused. Never starts a server.
  bool Open(const char* clientName, const char* portName, Deliver deliver, void* user);
  // The MIDI ports the open client can connect to (JackMidiPortNames, direction 1); empty
  // when nothing is open.
  std::vector<std::string> SourcePorts() const;
  // Activates the client and connects the source port (its full JACK name) to it; false
  // when either failed.
  bool Start(const std::string& source);
  // When this returns, deliver does not run and the client is gone.
  void Close();
  // True once the server of the open client went away.
  bool ServerGone() const { return client_.ServerGone(); }
  // True once the server ran the client's process callback since it was opened: false
  // after a failed activation, and while the server's graph stalls.
  bool HasRun() const { return hasRun_.load(std::memory_order_acquire); }

 private:
  static int Process(jack_nframes_t frames, void* self);

  OwnedJackClient client_;
  jack_port_t* port_ = nullptr;
  Deliver deliver_ = nullptr;
  void* user_ = nullptr;
  std::atomic<bool> hasRun_{false};  // set on the process thread
};

// The MIDI ports of the client's server as "client:port" names, in the server's order:
// the sources an input connects to (direction 1) or the destinations (0).
std::vector<std::string> JackMidiPortNames(jack_client_t* client, int32_t direction);

}  // namespace ampora
