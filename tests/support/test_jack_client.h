#pragma once

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
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
  // Registers a MIDI output port: a MIDI source for the program to list and open, which
  // the first one registered also sends SendMidi's messages from. Its full name; empty
  // when the server refuses it.
  std::string AddMidiOutput(const std::string& port);
  // Queues one short message (1 to 3 bytes; others are dropped) for the MIDI output, sent
  // in the next cycle the period's buffer has room in; waits while the queue is full.
  void SendMidi(const std::vector<unsigned char>& message);

  // The other clients that registered (true) or unregistered (false) on the server since
  // this one opened, in order.
  std::vector<std::pair<std::string, bool>> Registrations() const;
  // The full name of the first port on the server whose name matches the regular
  // expression; empty when none does.
  std::string PortMatching(const std::string& pattern) const;
  // Connects a source port to a destination port, both by full name.
  bool Connect(const std::string& source, const std::string& destination);

  // Plays one buffer per output port (buffers[i] to port i, all of one length) once, from
  // the next cycle on, then silence. Not while a buffer is playing.
  void Play(std::vector<std::vector<float>> buffers);
  int64_t PlayedFrames() const { return play_.done.load(std::memory_order_acquire); }
  bool Playing() const { return PlayedFrames() < play_.length; }

  // Records `frames` frames of every input port from the next cycle on. Not while a
  // recording runs.
  void Record(int64_t frames);
  int64_t RecordedFrames() const { return record_.done.load(std::memory_order_acquire); }
  // What input port i heard: complete once RecordedFrames() reached the length asked for.
  const std::vector<float>& Recorded(int i) const { return recordings_[static_cast<size_t>(i)]; }

  // Cycles the server reported as late since the client opened.
  int32_t Xruns() const { return xruns_.load(std::memory_order_relaxed); }

 private:
  static int Process(jack_nframes_t frames, void* self);
  static int Xrun(void* self);
  static void Registered(const char* name, int registered, void* self);
  void SendQueuedMidi(jack_nframes_t frames);

  struct RingFree {
    void operator()(jack_ringbuffer_t* ring) const { jack_ringbuffer_free(ring); }
  };
  // Messages waiting for the MIDI output, each as its length byte and its bytes. Freed
  // after the client is closed, when the callback has stopped for good.
  std::unique_ptr<jack_ringbuffer_t, RingFree> midiQueue_;
  std::atomic<jack_port_t*> midiOutput_{nullptr};
  mutable std::mutex registrationsLock_;
  std::vector<std::pair<std::string, bool>> registrations_;

  jack_client_t* client_ = nullptr;
  std::string error_;
  std::vector<jack_port_t*> outputs_;
  std::vector<jack_port_t*> inputs_;

  // A run of frames handed to the process callback: the test's thread sets the buffers and
  // the length, then raises the generation; the callback starts over at each new one and
  // publishes the frames done.
  struct Transfer {
    int64_t length = 0;
    std::atomic<uint32_t> generation{0};
    std::atomic<int64_t> done{0};
    uint32_t seen = 0;  // process thread
    int64_t to = 0;     // process thread
    // Process thread: the frames done before this cycle and those of this cycle (at most
    // n); the caller stores the new count in `done` once they are copied.
    int64_t Step(int64_t n, int64_t& before);
    void Begin(int64_t frames);
  };

  std::vector<std::vector<float>> playing_;
  std::vector<std::vector<float>> recordings_;
  Transfer play_;
  Transfer record_;
  std::atomic<int32_t> xruns_{0};
};

}  // namespace ampora::test
