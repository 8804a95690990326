#include "midi/rtmidi_in_service.h"

#include <rtmidi/RtMidi.h>

#include "audio/device_catalogue.h"
#include "midi/jack_midi_in.h"
#include "midi/midi_ports.h"
#include "midi/short_message.h"

namespace ampora {

// Through RtMidi (midi), or on a JACK server through a client of our own (jack, with the
// name of the source port).
struct RtMidiInService::Port {
  // Makes the client of interface api and lists the input ports through it; an interface
  // without ports leaves no client behind.
  std::vector<std::string> List(int32_t api);

  std::unique_ptr<RtMidiIn> midi;
  std::unique_ptr<JackMidiIn> jack;
  std::string source;
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
  Deliver(message->data(), message->size(), port);
}

void RtMidiInService::Deliver(const unsigned char* bytes, size_t size, void* port) {
  // What RtMidi is told to ignore: timing clock, time code and active sensing (system
  // exclusive is no short message).
  constexpr unsigned char kTimeCode = 0xF1, kClock = 0xF8, kActiveSensing = 0xFE;
  if (size > 0 && (bytes[0] == kTimeCode || bytes[0] == kClock || bytes[0] == kActiveSensing)) {
    return;
  }
  const auto* p = static_cast<const Port*>(port);
  const uint32_t packed = PackShortMessage(bytes, size);
  if (packed != 0) p->receiver(p->instance, p->handle, packed);
}

RtMidiInService::RtMidiInService(std::string apiName) : apiName_(std::move(apiName)) {}

RtMidiInService::~RtMidiInService() {
  while (!ports_.empty()) Close(ports_.begin()->first);
}

std::vector<std::string> RtMidiInService::Port::List(int32_t api) {
  jack.reset();
  midi.reset();
  std::vector<std::string> names;
  if (IsJackMidiApi(api)) {
    jack = std::make_unique<JackMidiIn>();
    if (jack->Open("ampora", "midi_in", &Deliver, this)) names = jack->SourcePorts();
    if (names.empty()) jack.reset();
    return names;
  }
  try {
    midi = std::make_unique<RtMidiIn>(static_cast<RtMidi::Api>(api), "ampora");
    midi->setErrorCallback(&IgnoreError);
    // System exclusive, timing and active sensing never reach the ring.
    midi->ignoreTypes(true, true, true);
    midi->setCallback(&OnMessage, this);
    for (unsigned int i = 0, count = midi->getPortCount(); i < count; ++i) {
      names.push_back(midi->getPortName(i));
    }
  } catch (const RtMidiError&) {
    names.clear();
  }
  if (names.empty()) midi.reset();
  return names;
}

MidiHandle RtMidiInService::Open(const std::string& deviceName, MidiReceiver receiver,
                                 void* instance) {
  // Everything the callback reads is set before a client can call it.
  auto port = std::make_unique<Port>();
  port->handle = lastHandle_ + 1;
  port->receiver = receiver;
  port->instance = instance;
  const MidiPortList ports = FindMidiPorts(apiName_, [&](int32_t api) { return port->List(api); });
  const DeviceCatalogue catalogue([&](int32_t) { return ports.names; },
                                  DeviceNumbering::kSequencerPorts);
  const int32_t id = catalogue.DeviceIdByName(1, deviceName, 0);
  if (ports.api == 0 || id < 0 || id >= static_cast<int32_t>(ports.names.size())) return 0;
  port->deviceId = id;
  port->source = ports.names[static_cast<size_t>(id)];
  lastHandle_ = port->handle;
  const MidiHandle handle = port->handle;
  ports_.emplace(handle, std::move(port));
  return handle;
}

void RtMidiInService::Start(MidiHandle handle) {
  const auto it = ports_.find(handle);
  if (it == ports_.end()) return;
  Port& port = *it->second;
  // A port that vanished since the list was taken stays silent.
  if (port.jack) {
    port.jack->Start(port.source);
    return;
  }
  try {
    port.midi->openPort(static_cast<unsigned int>(port.deviceId), "midi_in");
  } catch (const RtMidiError&) {
    // As above: silent.
  }
}

bool RtMidiInService::Lost(MidiHandle handle) const {
  const auto it = ports_.find(handle);
  return it != ports_.end() && it->second->jack && it->second->jack->ServerGone();
}

bool RtMidiInService::Running(MidiHandle handle) const {
  const auto it = ports_.find(handle);
  return it == ports_.end() || !it->second->jack || it->second->jack->HasRun();
}

void RtMidiInService::Close(MidiHandle handle) {
  const auto it = ports_.find(handle);
  if (it == ports_.end()) return;
  // Closing the port and dropping the client stop RtMidi's thread, or close our JACK
  // client: afterwards no message is delivered for this port again.
  if (it->second->midi) {
    try {
      it->second->midi->closePort();
    } catch (const RtMidiError&) {
      // Dropping the client below closes what is left.
    }
  }
  ports_.erase(it);
}

}  // namespace ampora
