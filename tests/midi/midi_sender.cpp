#include "midi_sender.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <thread>

namespace ampora::test {

namespace {

constexpr size_t kRingBytes = 16384;
constexpr size_t kLongestMessage = 3;

struct RingFree {
  void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
};

class JackMidiSender final : public MidiSender {
 public:
  explicit JackMidiSender(const std::string& clientName) {
    client_ = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
    if (client_ == nullptr) return;
    port_ = jack_port_register(client_, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, &Process, this);
    if (port_ == nullptr || jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
    }
  }

  // The ring is freed after this body: the callback has stopped for good by then.
  ~JackMidiSender() override {
    if (client_ == nullptr) return;
    jack_deactivate(client_);
    jack_client_close(client_);
  }

  bool ok() const { return client_ != nullptr; }

  void Send(const std::vector<unsigned char>& message) override {
    if (message.empty() || message.size() > kLongestMessage) return;
    // A message waits in the ring as its length byte followed by its bytes.
    std::array<char, 1 + kLongestMessage> frame{static_cast<char>(message.size())};
    std::copy(message.begin(), message.end(), frame.begin() + 1);
    const size_t length = 1 + message.size();
    while (jack_ringbuffer_write_space(ring_.get()) < length) std::this_thread::yield();
    jack_ringbuffer_write(ring_.get(), frame.data(), length);
  }

 private:
  // JACK's process thread: hands over what waits, as far as the period's buffer takes
  // it; the rest waits for the next period.
  static int Process(jack_nframes_t frames, void* self) {
    auto& sender = *static_cast<JackMidiSender*>(self);
    jack_ringbuffer_t* ring = sender.ring_.get();
    void* buffer = jack_port_get_buffer(sender.port_, frames);
    jack_midi_clear_buffer(buffer);
    char length = 0;
    // A message that wraps around the ring's end becomes readable in two steps: take it
    // only once all of it is there.
    while (jack_ringbuffer_peek(ring, &length, 1) == 1 &&
           jack_ringbuffer_read_space(ring) >= 1 + static_cast<size_t>(length) &&
           jack_midi_max_event_size(buffer) >= static_cast<size_t>(length)) {
      jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, static_cast<size_t>(length));
      if (event == nullptr) break;
      jack_ringbuffer_read_advance(ring, 1);
      jack_ringbuffer_read(ring, reinterpret_cast<char*>(event), static_cast<size_t>(length));
    }
    return 0;
  }

  std::unique_ptr<jack_ringbuffer_t, RingFree> ring_{jack_ringbuffer_create(kRingBytes)};
  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
};

class RtMidiSender final : public MidiSender {
 public:
  RtMidiSender(RtMidi::Api api, const std::string& clientName) : out_(api, clientName) {
    out_.openVirtualPort("keys");
  }

  void Send(const std::vector<unsigned char>& message) override { out_.sendMessage(&message); }

 private:
  RtMidiOut out_;
};

}  // namespace

std::unique_ptr<MidiSender> MidiSender::Open(const std::string& api,
                                             const std::string& clientName) {
  if (api == "jack") {
    auto sender = std::make_unique<JackMidiSender>(clientName);
    if (!sender->ok()) return nullptr;
    return sender;
  }
  try {
    return std::make_unique<RtMidiSender>(RtMidi::getCompiledApiByName(api), clientName);
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

}  // namespace ampora::test
