#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace ampora::test {

// A JACK client of the tests: plays buffers into its output ports "out_1".. and records
// its input ports "in_1".., frame for frame in the server's cycles. Connected to the ports
// of another client (the program's), it feeds that client a known signal and hears what it
// plays.
//
// Thread: every member on the test's thread; the process callback only copies samples and
// publishes counts.
class TestJackClient {
 public:
  // Opens the client `name` on the server named server (empty: JACK_DEFAULT_SERVER) with
  // the given numbers of output and input ports, and activates it; ok() says whether it
  // did, Error() why not.
  TestJackClient(const std::string& name, int outputs, int inputs, const std::string& server = "");
  ~TestJackClient();
  TestJackClient(const TestJackClient&) = delete;
  TestJackClient& operator=(const TestJackClient&) = delete;

  bool ok() const { return client_ != nullptr; }
  const std::string& Error() const { return error_; }
  int32_t SampleRate() const;
  // Full port names ("name:out_1"); i counts from 0.
  std::string OutputPort(int i) const;
  std::string InputPort(int i) const;
  // Connects a source port to a destination port, both by full name.
  bool Connect(const std::string& source, const std::string& destination);

  // Plays one buffer per output port (buffers[i] to port i, all of one length) once, from
  // the next cycle on, then silence. Not while a buffer is playing.
  void Play(std::vector<std::vector<float>> buffers);
  int64_t PlayedFrames() const { return played_.load(std::memory_order_acquire); }
  bool Playing() const { return PlayedFrames() < playLength_; }

  // Records `frames` frames of every input port from the next cycle on. Not while a
  // recording runs.
  void Record(int64_t frames);
  int64_t RecordedFrames() const { return recorded_.load(std::memory_order_acquire); }
  // What input port i heard: complete once RecordedFrames() reached the length asked for.
  const std::vector<float>& Recorded(int i) const { return recordings_[static_cast<size_t>(i)]; }

  // Cycles the server reported as late since the client opened.
  int32_t Xruns() const { return xruns_.load(std::memory_order_relaxed); }

 private:
  static int Process(jack_nframes_t frames, void* self);
  static int Xrun(void* self);

  jack_client_t* client_ = nullptr;
  std::string error_;
  std::vector<jack_port_t*> outputs_;
  std::vector<jack_port_t*> inputs_;

  // Handed over by the generation counters: the buffers are written before the count is
  // raised, and left alone until the process callback has finished with them.
  std::vector<std::vector<float>> playing_;
  int64_t playLength_ = 0;
  std::atomic<uint32_t> playGeneration_{0};
  std::vector<std::vector<float>> recordings_;
  int64_t recordLength_ = 0;
  std::atomic<uint32_t> recordGeneration_{0};

  // Process thread.
  uint32_t playSeen_ = 0;
  int64_t playTo_ = 0;
  uint32_t recordSeen_ = 0;
  int64_t recordTo_ = 0;
  std::atomic<int64_t> played_{0};
  std::atomic<int64_t> recorded_{0};
  std::atomic<int32_t> xruns_{0};
};

}  // namespace ampora::test
