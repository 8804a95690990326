#include "midi/jack_midi_in.h"

#include <jack/midiport.h>

namespace ampora {

bool JackMidiIn::Open(const char* clientName, const char* portName, Deliver deliver, void* user) {
  Close();
  client_ = jack_client_open(clientName, JackNoStartServer, nullptr);
  if (client_ == nullptr) return false;
  port_ = jack_port_register(client_, portName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (port_ == nullptr) {
    Close();
    return false;
  }
  deliver_ = deliver;
  user_ = user;
  serverGone_.store(false);
  jack_set_process_callback(client_, &Process, this);
  jack_on_info_shutdown(client_, &ServerGone, this);
  return true;
}

bool JackMidiIn::Start(const std::string& source) {
  if (client_ == nullptr || jack_activate(client_) != 0) return false;
  return jack_connect(client_, source.c_str(), jack_port_name(port_)) == 0;
}

void JackMidiIn::Close() {
  if (client_ == nullptr) return;
  // A client whose server went away is closed all the same, which frees it.
  if (!serverGone_.load()) jack_deactivate(client_);
  jack_client_close(client_);
  client_ = nullptr;
  port_ = nullptr;
}

int JackMidiIn::Process(jack_nframes_t frames, void* self) {
  auto& input = *static_cast<JackMidiIn*>(self);
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

void JackMidiIn::ServerGone(jack_status_t, const char*, void* self) {
  static_cast<JackMidiIn*>(self)->serverGone_.store(true);
}

}  // namespace ampora
