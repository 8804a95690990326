#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "audio/devices/owned_jack_client.h"

// One stream on a JACK server, as a JACK client of its own, for capture or for playback.
//
// Not through RtAudio, whose JACK backend closes the client of a server that went away on
// a thread it starts and never joins: closing the same client meanwhile (the next Start)
// deadlocks inside libjack or frees it twice, and nothing tells its owner when that thread
// is through. Here the server's going away only raises a flag; the client is closed by its
// owner alone, always on the UI thread.

namespace ampora {

// The rate of the JACK server of this environment as it runs now; 0 when none answers.
// Opens and closes a client of its own. Thread: UI thread.
int32_t JackServerRate();

class JackClientStream {
 public:
  // RtAudio's callback shape, with interleaved float samples, so that the devices share
  // one callback for every interface; called with at most kChunkFrames frames at a time.
  using Callback = int (*)(void* out, void* in, unsigned int frames, double, unsigned int,
                           void* self);
  static constexpr unsigned int kChunkFrames = 256;

  JackClientStream() = default;
  ~JackClientStream() { Close(); }
  JackClientStream(const JackClientStream&) = delete;
  JackClientStream& operator=(const JackClientStream&) = delete;

  // Opens a client named clientName (JACK adds a number when the name is taken) with one
  // port per channel (1 or 2), to be connected to the first ports of the client named
  // device. false with the reason in error. Never starts a server.
  bool Open(const std::string& device, int32_t channels, bool input, const char* clientName,
            int32_t sampleRate, Callback callback, void* self, std::string& error);
  // Activates the client and connects its ports; false with the reason in error.
  bool Start(std::string& error);
  // When this returns, the process callback does not run and the client is gone.
  void Close();
  bool IsOpen() const { return client_.IsOpen(); }
  bool ServerGone() const { return client_.ServerGone(); }
  // True once the server ran the process callback since Open: false after a failed
  // activation, and while the server's graph stalls.
  bool HasRun() const { return hasRun_.load(std::memory_order_acquire); }

 private:
  static int Process(jack_nframes_t frames, void* self);

  OwnedJackClient client_;
  std::vector<jack_port_t*> ports_;
  std::string device_;
  bool input_ = false;
  Callback callback_ = nullptr;
  void* self_ = nullptr;
  std::array<float, 2 * kChunkFrames> interleaved_{};  // process thread
  std::atomic<bool> hasRun_{false};                    // set on the process thread
};

}  // namespace ampora
