#pragma once

#include <cstdint>
#include <string>

// The seam between the MIDI input and the system's MIDI service: opening an input device
// with a receiver that the service calls for every short message it delivers. The real
// service is RtMidiInService; tests drive the receiver themselves.

namespace ampora {

// An open input device; 0 = none.
using MidiHandle = uintptr_t;

// Called on the service's own thread with the handle of the device and one packed short
// message (see short_message.h). It must not block, allocate or call into the user
// interface.
using MidiReceiver = void (*)(void* instance, MidiHandle handle, uint32_t message);

// Thread: UI thread, every member.
class MidiInService {
 public:
  virtual ~MidiInService() = default;
  // Opens the input port called deviceName for receiver, found in the list of input ports
  // as it is at this moment by the device catalogue's rules for MIDI ports (an empty name:
  // the first port); returns its handle, or 0 when no port has the name or it cannot be
  // opened. Nothing is delivered before Start.
  virtual MidiHandle Open(const std::string& deviceName, MidiReceiver receiver, void* instance) = 0;
  // Starts delivering messages.
  virtual void Start(MidiHandle handle) = 0;
  // Stops and closes the device. When it returns, receiver is not running for this handle
  // and is never called with it again.
  virtual void Close(MidiHandle handle) = 0;
  // True once the open device has stopped by itself (its server went away). Close it
  // before anything opens a client on a server again: libjack frees such a client at the
  // next open, and closing it afterwards would crash.
  virtual bool Lost(MidiHandle) const { return false; }
  // False while a device on a server has not been run by it since Start: its start
  // failed, or the server's graph stalls (libjack keeps per-process state that a client
  // of another program leaving while one of ours opens can leave stale, so that the
  // server waits on a client of ours in vain). Devices without a server always run.
  virtual bool Running(MidiHandle) const { return true; }
};

}  // namespace ampora
