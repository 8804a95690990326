#include "jack_probe.h"

#include "audio/devices/sample_conversion.h"

namespace ampora::test {

int16_t ProbeSignal(int64_t frame) {
  uint64_t h = static_cast<uint64_t>(frame) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return static_cast<int16_t>(static_cast<int64_t>(h % 40001) - 20000);
}

JackProbe::JackProbe(int32_t recordFrames)
    : left_(static_cast<size_t>(recordFrames)), right_(static_cast<size_t>(recordFrames)) {
  jack_status_t status;
  client_ = jack_client_open("ampora-probe", JackNoStartServer, &status);
  if (client_ == nullptr) return;
  out_ = jack_port_register(client_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  inLeft_ = jack_port_register(client_, "in_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  inRight_ = jack_port_register(client_, "in_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &Process, this);
  jack_set_xrun_callback(client_, &Xrun, this);
  if (jack_activate(client_) != 0) {
    jack_client_close(client_);
    client_ = nullptr;
  }
}

JackProbe::~JackProbe() {
  if (client_ == nullptr) return;
  jack_deactivate(client_);
  jack_client_close(client_);
}

namespace {
bool ConnectMatching(jack_client_t* client, const std::string& pattern, unsigned long flags,
                     const std::string& ours, bool oursIsSource) {
  const char** ports = jack_get_ports(client, pattern.c_str(), JACK_DEFAULT_AUDIO_TYPE, flags);
  if (ports == nullptr) return false;
  const std::string theirs = ports[0];
  jack_free(ports);
  return oursIsSource ? jack_connect(client, ours.c_str(), theirs.c_str()) == 0
                      : jack_connect(client, theirs.c_str(), ours.c_str()) == 0;
}
}  // namespace

bool JackProbe::ConnectOutputTo(const std::string& inputPattern) {
  return ConnectMatching(client_, inputPattern, JackPortIsInput, jack_port_name(out_), true);
}

bool JackProbe::ConnectInputFrom(const std::string& outputPattern, const char* ourInput) {
  jack_port_t* port = std::string(ourInput) == "in_l" ? inLeft_ : inRight_;
  return ConnectMatching(client_, outputPattern, JackPortIsOutput, jack_port_name(port), false);
}

int JackProbe::Process(jack_nframes_t frames, void* self) {
  auto& probe = *static_cast<JackProbe*>(self);
  auto* out = static_cast<float*>(jack_port_get_buffer(probe.out_, frames));
  const auto* inLeft = static_cast<const float*>(jack_port_get_buffer(probe.inLeft_, frames));
  const auto* inRight = static_cast<const float*>(jack_port_get_buffer(probe.inRight_, frames));
  const bool recording = !probe.frozen_.load(std::memory_order_acquire);
  int64_t recorded = probe.recorded_.load(std::memory_order_relaxed);
  for (jack_nframes_t i = 0; i < frames; ++i) {
    out[i] = SampleToFloat(ProbeSignal(probe.played_ + i));
    if (recording && recorded < static_cast<int64_t>(probe.left_.size())) {
      probe.left_[static_cast<size_t>(recorded)] = FloatToSample(inLeft[i]);
      probe.right_[static_cast<size_t>(recorded)] = FloatToSample(inRight[i]);
      ++recorded;
    }
  }
  probe.played_ += frames;
  probe.recorded_.store(recorded, std::memory_order_release);
  return 0;
}

int JackProbe::Xrun(void* self) {
  static_cast<JackProbe*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

}  // namespace ampora::test
