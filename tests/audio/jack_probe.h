#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace ampora::test {

// The known signal the probe plays: a fixed pseudo-random sample for every frame number
// of the probe's own count, in -20000..20000, so that any stretch of a few frames tells
// where in the signal it came from.
int16_t ProbeSignal(int64_t frame);

// A JACK client of the test: plays ProbeSignal on its output port "out" and records its
// two input ports "in_l", "in_r" (as 16-bit samples), frame for frame in the same count.
class JackProbe {
 public:
  // Connects to the server named by JACK_DEFAULT_SERVER; ok() tells whether it did.
  explicit JackProbe(int32_t recordFrames);
  ~JackProbe();

  bool ok() const { return client_ != nullptr; }
  // Connects a port of another client (by a pattern of its full name) to or from ours.
  bool ConnectOutputTo(const std::string& inputPattern);
  bool ConnectInputFrom(const std::string& outputPattern, const char* ourInput);
  // Stops recording; the recorded frames are final afterwards.
  void Freeze() { frozen_.store(true, std::memory_order_release); }

  int64_t RecordedFrames() const { return recorded_.load(std::memory_order_acquire); }
  const std::vector<int16_t>& Left() const { return left_; }
  const std::vector<int16_t>& Right() const { return right_; }
  int32_t Xruns() const { return xruns_.load(std::memory_order_relaxed); }

 private:
  static int Process(jack_nframes_t frames, void* self);
  static int Xrun(void* self);

  jack_client_t* client_ = nullptr;
  jack_port_t* out_ = nullptr;
  jack_port_t* inLeft_ = nullptr;
  jack_port_t* inRight_ = nullptr;
  std::vector<int16_t> left_, right_;
  int64_t played_ = 0;  // process thread
  std::atomic<int64_t> recorded_{0};
  std::atomic<bool> frozen_{false};
  std::atomic<int32_t> xruns_{0};
};

}  // namespace ampora::test
