#include "midi/jack_midi_in.h"

#include <jack/midiport.h>

#include <memory>

namespace ampora {

bool JackMidiIn::Open(const char* clientName, const char* portName, Deliver deliver, void* user) {
  Close();
  jack_status_t status{};
  if (!client_.Open(clientName, status)) return false;
  port_ = jack_port_register(client_.get(), portName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (port_ == nullptr) {
    Close();
    return false;
  }
  deliver_ = deliver;
  user_ = user;
  hasRun_.store(false, std::memory_order_release);
  jack_set_process_callback(client_.get(), &Process, this);
  return true;
}

std::vector<std::string> JackMidiIn::SourcePorts() const {
  return client_.IsOpen() ? JackMidiPortNames(client_.get(), 1) : std::vector<std::string>{};
}

bool JackMidiIn::Start(const std::string& source) {
  if (!client_.IsOpen() || jack_activate(client_.get()) != 0) return false;
  return jack_connect(client_.get(), source.c_str(), jack_port_name(port_)) == 0;
}

void JackMidiIn::Close() {
  client_.Close();
  port_ = nullptr;
  hasRun_.store(false, std::memory_order_release);
}

int JackMidiIn::Process(jack_nframes_t frames, void* self) {
  auto& input = *static_cast<JackMidiIn*>(self);
  input.hasRun_.store(true, std::memory_order_release);
  void* buffer = jack_port_get_buffer(input.port_, frames);
  const uint32_t count = jack_midi_get_event_count(buffer);
  for (uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) == 0) {
      input.deliver_(event.buffer, event.size, input.user_);
    }
  }
  return 0;
}

std::vector<std::string> JackMidiPortNames(jack_client_t* client, int32_t direction) {
  const std::unique_ptr<const char*, decltype(&jack_free)> ports(
      jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                     direction == 1 ? JackPortIsOutput : JackPortIsInput),
      &jack_free);
  std::vector<std::string> names;
  for (size_t i = 0; ports && ports.get()[i] != nullptr; ++i) names.emplace_back(ports.get()[i]);
  return names;
}

}  // namespace ampora
