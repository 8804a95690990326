#include "audio/devices/jack_client_stream.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace ampora {

namespace {

// jack_get_ports takes a regular expression: the device's name matched literally.
std::string PortsOfClientPattern(const std::string& client) {
  std::string pattern = "^";
  for (char c : client) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  return pattern + ":";
}

}  // namespace

int32_t JackServerRate() {
  OwnedJackClient client;
  jack_status_t status{};
  if (!client.Open("ampora-rate", status)) return 0;
  return static_cast<int32_t>(
      std::min<jack_nframes_t>(jack_get_sample_rate(client.get()), INT32_MAX));
}

bool JackClientStream::Open(const std::string& device, int32_t channels, bool input,
                            const char* clientName, int32_t sampleRate, Callback callback,
                            void* self, std::string& error) {
  Close();
  jack_status_t status{};
  if (!client_.Open(clientName, status)) {
    error = (status & JackServerFailed) != 0 ? "no JACK server is running"
                                             : "the JACK server refused the client";
    return false;
  }
  if (const jack_nframes_t rate = jack_get_sample_rate(client_.get());
      rate != static_cast<jack_nframes_t>(sampleRate)) {
    error = "the JACK server runs at " + std::to_string(rate) + " Hz, not at " +
            std::to_string(sampleRate) + " Hz";
    Close();
    return false;
  }
  for (int32_t c = 0; c < channels; ++c) {
    const std::string name = (input ? "inport " : "outport ") + std::to_string(c);
    jack_port_t* port = jack_port_register(client_.get(), name.c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                           input ? JackPortIsInput : JackPortIsOutput, 0);
    if (port == nullptr) {
      error = "the JACK server refused the port " + name;
      Close();
      return false;
    }
    ports_.push_back(port);
  }
  device_ = device;
  input_ = input;
  callback_ = callback;
  self_ = self;
  hasRun_.store(false, std::memory_order_release);
  jack_set_process_callback(client_.get(), &Process, this);
  return true;
}

bool JackClientStream::Start(std::string& error) {
  if (jack_activate(client_.get()) != 0) {
    error = "the JACK server did not start the stream";
    return false;
  }
  // Capture reads from the device's outputs, playback writes to its inputs; a device with
  // fewer ports than channels leaves the rest unconnected.
  const std::unique_ptr<const char*, decltype(&jack_free)> devicePorts(
      jack_get_ports(client_.get(), PortsOfClientPattern(device_).c_str(), JACK_DEFAULT_AUDIO_TYPE,
                     input_ ? JackPortIsOutput : JackPortIsInput),
      &jack_free);
  for (size_t c = 0; c < ports_.size() && devicePorts && devicePorts.get()[c] != nullptr; ++c) {
    const char* ours = jack_port_name(ports_[c]);
    const char* theirs = devicePorts.get()[c];
    if (input_ ? jack_connect(client_.get(), theirs, ours)
               : jack_connect(client_.get(), ours, theirs)) {
      error = std::string("cannot connect ") + ours + " with " + theirs;
      return false;
    }
  }
  return true;
}

void JackClientStream::Close() {
  client_.Close();
  ports_.clear();
  hasRun_.store(false, std::memory_order_release);
}

int JackClientStream::Process(jack_nframes_t frames, void* self) {
  auto& stream = *static_cast<JackClientStream*>(self);
  stream.hasRun_.store(true, std::memory_order_release);
  const size_t channels = stream.ports_.size();
  std::array<float*, 2> buffers{};
  for (size_t c = 0; c < channels; ++c) {
    buffers[c] = static_cast<float*>(jack_port_get_buffer(stream.ports_[c], frames));
  }
  float* interleaved = stream.interleaved_.data();
  for (jack_nframes_t done = 0; done < frames;) {
    const jack_nframes_t n = std::min<jack_nframes_t>(frames - done, kChunkFrames);
    if (stream.input_) {
      for (jack_nframes_t i = 0; i < n; ++i) {
        for (size_t c = 0; c < channels; ++c) interleaved[i * channels + c] = buffers[c][done + i];
      }
      stream.callback_(nullptr, interleaved, n, 0.0, 0, stream.self_);
    } else {
      stream.callback_(interleaved, nullptr, n, 0.0, 0, stream.self_);
      for (jack_nframes_t i = 0; i < n; ++i) {
        for (size_t c = 0; c < channels; ++c) buffers[c][done + i] = interleaved[i * channels + c];
      }
    }
    done += n;
  }
  return 0;
}

}  // namespace ampora
