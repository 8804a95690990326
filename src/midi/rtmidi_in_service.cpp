#include "midi/rtmidi_in_service.h"

#include <rtmidi/RtMidi.h>

#include "midi/midi_ports.h"
#include "midi/short_message.h"

namespace ampora {

struct RtMidiInService::Port {
  std::unique_ptr<RtMidiIn> midi;
  int32_t deviceId = 0;
  MidiHandle handle = 0;
  MidiReceiver receiver = nullptr;
  void* instance = nullptr;
};

namespace {

// A device that cannot be opened stays silent: no message, no exception.
void IgnoreError(RtMidiError::Type, const std::string&, void*) {}

}  // namespace

void RtMidiInService::OnMessage(double /*timeStamp*/, std::vector<unsigned char>* message,
                                void* port) {
  const auto* p = static_cast<const Port*>(port);
  const uint32_t packed = PackShortMessage(message->data(), message->size());
  if (packed != 0) p->receiver(p->instance, p->handle, packed);
}

RtMidiInService::RtMidiInService(std::string apiName) : apiName_(std::move(apiName)) {}

RtMidiInService::~RtMidiInService() {
  while (!ports_.empty()) Close(ports_.begin()->first);
}

MidiHandle RtMidiInService::Open(int32_t deviceId, MidiReceiver receiver, void* instance) {
  const MidiPortList ports = ScanMidiPorts(1, apiName_);
  if (ports.api == 0 || deviceId < 0 || deviceId >= static_cast<int32_t>(ports.names.size())) {
    return 0;
  }
  // Everything the callback reads is set before RtMidi starts its thread.
  auto port = std::make_unique<Port>();
  port->deviceId = deviceId;
  port->handle = lastHandle_ + 1;
  port->receiver = receiver;
  port->instance = instance;
  try {
    port->midi = std::make_unique<RtMidiIn>(static_cast<RtMidi::Api>(ports.api), "ampora");
  } catch (const RtMidiError&) {
    return 0;
  }
  port->midi->setErrorCallback(&IgnoreError);
  // System exclusive, timing and active sensing never reach the ring.
  port->midi->ignoreTypes(true, true, true);
  port->midi->setCallback(&OnMessage, port.get());
  lastHandle_ = port->handle;
  const MidiHandle handle = port->handle;
  ports_.emplace(handle, std::move(port));
  return handle;
}

void RtMidiInService::Start(MidiHandle handle) {
  const auto it = ports_.find(handle);
  if (it == ports_.end()) return;
  Port& port = *it->second;
  try {
    port.midi->openPort(static_cast<unsigned int>(port.deviceId), "midi_in");
  } catch (const RtMidiError&) {
    // The port vanished since the list was taken: it stays silent.
  }
}

void RtMidiInService::Close(MidiHandle handle) {
  const auto it = ports_.find(handle);
  if (it == ports_.end()) return;
  // Closing the port and dropping the client stop RtMidi's thread (the JACK client is
  // deactivated): afterwards OnMessage never runs for this port again.
  try {
    it->second->midi->closePort();
  } catch (const RtMidiError&) {
    // Dropping the client below closes what is left.
  }
  ports_.erase(it);
}

}  // namespace ampora
