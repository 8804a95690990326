#include "support/test_jack_client.h"

#include <algorithm>

namespace ampora::test {

TestJackClient::TestJackClient(const std::string& name, int outputs, int inputs,
                               const std::string& server) {
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

bool TestJackClient::Connect(const std::string& source, const std::string& destination) {
  return jack_connect(client_, source.c_str(), destination.c_str()) == 0;
}

void TestJackClient::Play(std::vector<std::vector<float>> buffers) {
  buffers.resize(outputs_.size());
  playLength_ = 0;
  for (const auto& buffer : buffers) playLength_ = std::max<int64_t>(playLength_, buffer.size());
  for (auto& buffer : buffers) buffer.resize(static_cast<size_t>(playLength_), 0.0f);
  playing_ = std::move(buffers);
  played_.store(0, std::memory_order_relaxed);
  playGeneration_.fetch_add(1, std::memory_order_release);
}

void TestJackClient::Record(int64_t frames) {
  recordLength_ = frames;
  for (auto& recording : recordings_) recording.assign(static_cast<size_t>(frames), 0.0f);
  recorded_.store(0, std::memory_order_relaxed);
  recordGeneration_.fetch_add(1, std::memory_order_release);
}

int TestJackClient::Process(jack_nframes_t frames, void* self) {
  auto& c = *static_cast<TestJackClient*>(self);
  const int64_t n = frames;

  const uint32_t playGeneration = c.playGeneration_.load(std::memory_order_acquire);
  int64_t played = c.played_.load(std::memory_order_relaxed);
  if (playGeneration != c.playSeen_) {
    c.playSeen_ = playGeneration;
    c.playTo_ = c.playLength_;
    played = 0;
  }
  const int64_t toPlay = std::clamp<int64_t>(c.playTo_ - played, 0, n);
  for (size_t p = 0; p < c.outputs_.size(); ++p) {
    auto* out = static_cast<float*>(jack_port_get_buffer(c.outputs_[p], frames));
    if (toPlay > 0) std::copy_n(c.playing_[p].data() + played, toPlay, out);
    std::fill(out + toPlay, out + n, 0.0f);
  }
  c.played_.store(played + toPlay, std::memory_order_release);

  const uint32_t recordGeneration = c.recordGeneration_.load(std::memory_order_acquire);
  int64_t recorded = c.recorded_.load(std::memory_order_relaxed);
  if (recordGeneration != c.recordSeen_) {
    c.recordSeen_ = recordGeneration;
    c.recordTo_ = c.recordLength_;
    recorded = 0;
  }
  const int64_t toRecord = std::clamp<int64_t>(c.recordTo_ - recorded, 0, n);
  for (size_t p = 0; p < c.inputs_.size() && toRecord > 0; ++p) {
    const auto* in = static_cast<const float*>(jack_port_get_buffer(c.inputs_[p], frames));
    std::copy_n(in, toRecord, c.recordings_[p].data() + recorded);
  }
  c.recorded_.store(recorded + toRecord, std::memory_order_release);
  return 0;
}

int TestJackClient::Xrun(void* self) {
  static_cast<TestJackClient*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

}  // namespace ampora::test
