#include "support/test_jack_client.h"

#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <thread>

namespace ampora::test {

namespace {
constexpr size_t kMidiQueueBytes = 16384;
constexpr size_t kLongestMidiMessage = 3;
}  // namespace

TestJackClient::TestJackClient(const std::string& name, int outputs, int inputs,
                               const std::string& server)
    : midiQueue_(jack_ringbuffer_create(kMidiQueueBytes)) {
  jack_status_t status{};
  const auto options =
      static_cast<jack_options_t>(JackNoStartServer | (server.empty() ? 0 : JackServerName));
  client_ = jack_client_open(name.c_str(), options, &status, server.c_str());
  if (client_ == nullptr) {
    error_ = "no JACK server answers";
    return;
  }
  const auto add = [&](std::vector<jack_port_t*>& ports, const char* stem, int count,
                       unsigned long flags) {
    for (int i = 1; i <= count; ++i) {
      const std::string port = stem + std::to_string(i);
      ports.push_back(jack_port_register(client_, port.c_str(), JACK_DEFAULT_AUDIO_TYPE, flags, 0));
      if (ports.back() == nullptr) error_ = "the server refused the port " + port;
    }
  };
  add(outputs_, "out_", outputs, JackPortIsOutput);
  add(inputs_, "in_", inputs, JackPortIsInput);
  recordings_.resize(inputs_.size());
  jack_set_process_callback(client_, &Process, this);
  jack_set_xrun_callback(client_, &Xrun, this);
  jack_set_client_registration_callback(client_, &Registered, this);
  if (error_.empty() && jack_activate(client_) != 0)
    error_ = "the server did not activate the client";
  if (!error_.empty()) {
    jack_client_close(client_);
    client_ = nullptr;
  }
}

TestJackClient::~TestJackClient() {
  if (client_ == nullptr) return;
  jack_deactivate(client_);
  jack_client_close(client_);
}

int32_t TestJackClient::SampleRate() const {
  return client_ != nullptr ? static_cast<int32_t>(jack_get_sample_rate(client_)) : 0;
}

std::string TestJackClient::OutputPort(int i) const {
  return jack_port_name(outputs_[static_cast<size_t>(i)]);
}

std::string TestJackClient::InputPort(int i) const {
  return jack_port_name(inputs_[static_cast<size_t>(i)]);
}

std::string TestJackClient::AddMidiOutput(const std::string& port) {
  jack_port_t* midi =
      jack_port_register(client_, port.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (midi == nullptr) return "";
  jack_port_t* none = nullptr;
  midiOutput_.compare_exchange_strong(none, midi, std::memory_order_release);
  return jack_port_name(midi);
}

void TestJackClient::SendMidi(const std::vector<unsigned char>& message) {
  if (message.empty() || message.size() > kLongestMidiMessage) return;
  std::array<char, 1 + kLongestMidiMessage> frame{static_cast<char>(message.size())};
  std::copy(message.begin(), message.end(), frame.begin() + 1);
  const size_t length = 1 + message.size();
  while (jack_ringbuffer_write_space(midiQueue_.get()) < length) std::this_thread::yield();
  jack_ringbuffer_write(midiQueue_.get(), frame.data(), length);
}

// Process thread: hands over what waits, as far as the period's buffer takes it; the rest
// waits for the next period.
void TestJackClient::SendQueuedMidi(jack_nframes_t frames) {
  jack_port_t* port = midiOutput_.load(std::memory_order_acquire);
  if (port == nullptr) return;
  jack_ringbuffer_t* queue = midiQueue_.get();
  void* buffer = jack_port_get_buffer(port, frames);
  jack_midi_clear_buffer(buffer);
  char length = 0;
  // A message that wraps around the ring's end becomes readable in two steps: take it
  // only once all of it is there.
  while (jack_ringbuffer_peek(queue, &length, 1) == 1 &&
         jack_ringbuffer_read_space(queue) >= 1 + static_cast<size_t>(length) &&
         jack_midi_max_event_size(buffer) >= static_cast<size_t>(length)) {
    jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, static_cast<size_t>(length));
    if (event == nullptr) break;
    jack_ringbuffer_read_advance(queue, 1);
    jack_ringbuffer_read(queue, reinterpret_cast<char*>(event), static_cast<size_t>(length));
  }
}

void TestJackClient::Registered(const char* name, int registered, void* self) {
  auto& client = *static_cast<TestJackClient*>(self);
  const std::lock_guard<std::mutex> hold(client.registrationsLock_);
  client.registrations_.emplace_back(name, registered != 0);
}

std::vector<std::pair<std::string, bool>> TestJackClient::Registrations() const {
  const std::lock_guard<std::mutex> hold(registrationsLock_);
  return registrations_;
}

std::string TestJackClient::PortMatching(const std::string& pattern) const {
  const char** ports = jack_get_ports(client_, pattern.c_str(), nullptr, 0);
  if (ports == nullptr) return "";
  std::string first = ports[0];
  jack_free(ports);
  return first;
}

bool TestJackClient::Connect(const std::string& source, const std::string& destination) {
  return jack_connect(client_, source.c_str(), destination.c_str()) == 0;
}

void TestJackClient::Transfer::Begin(int64_t frames) {
  length = frames;
  done.store(0, std::memory_order_relaxed);
  generation.fetch_add(1, std::memory_order_release);
}

int64_t TestJackClient::Transfer::Step(int64_t n, int64_t& before) {
  const uint32_t current = generation.load(std::memory_order_acquire);
  before = done.load(std::memory_order_relaxed);
  if (current != seen) {
    seen = current;
    to = length;
    before = 0;
  }
  return std::clamp<int64_t>(to - before, 0, n);
}

void TestJackClient::Play(std::vector<std::vector<float>> buffers) {
  buffers.resize(outputs_.size());
  int64_t length = 0;
  for (const auto& buffer : buffers) length = std::max<int64_t>(length, buffer.size());
  for (auto& buffer : buffers) buffer.resize(static_cast<size_t>(length), 0.0f);
  playing_ = std::move(buffers);
  play_.Begin(length);
}

void TestJackClient::Record(int64_t frames) {
  for (auto& recording : recordings_) recording.assign(static_cast<size_t>(frames), 0.0f);
  record_.Begin(frames);
}

int TestJackClient::Process(jack_nframes_t frames, void* self) {
  auto& c = *static_cast<TestJackClient*>(self);
  const int64_t n = frames;
  int64_t played = 0;
  const int64_t toPlay = c.play_.Step(n, played);
  for (size_t p = 0; p < c.outputs_.size(); ++p) {
    auto* out = static_cast<float*>(jack_port_get_buffer(c.outputs_[p], frames));
    if (toPlay > 0) std::copy_n(c.playing_[p].data() + played, toPlay, out);
    std::fill(out + toPlay, out + n, 0.0f);
  }
  c.play_.done.store(played + toPlay, std::memory_order_release);
  int64_t recorded = 0;
  const int64_t toRecord = c.record_.Step(n, recorded);
  for (size_t p = 0; p < c.inputs_.size() && toRecord > 0; ++p) {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(c.inputs_[p], frames));
    std::copy_n(in, toRecord, c.recordings_[p].data() + recorded);
  }
  // Published once the samples are in place.
  c.record_.done.store(recorded + toRecord, std::memory_order_release);
  c.SendQueuedMidi(frames);
  return 0;
}

int TestJackClient::Xrun(void* self) {
  static_cast<TestJackClient*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

}  // namespace ampora::test
