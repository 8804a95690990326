#pragma once

#include <jack/jack.h>

#include <atomic>

// A JACK client that only its owner closes, on the UI thread. The server's going away only
// raises a flag: libjack's shutdown callback may not close the client itself. A client
// whose server went away must be closed before the process opens any other JACK client:
// libjack frees such clients at the next open, and closing one afterwards crashes.

namespace ampora {

class OwnedJackClient {
 public:
  OwnedJackClient() = default;
  ~OwnedJackClient() { Close(); }
  OwnedJackClient(const OwnedJackClient&) = delete;
  OwnedJackClient& operator=(const OwnedJackClient&) = delete;

  // Opens a client named name (JACK adds a number when the name is taken), closing what was
  // open first; false with libjack's status when it failed (a running server that refuses
  // is asked three times, 50 ms apart). Never starts a server.
  bool Open(const char* name, jack_status_t& status);
  // When this returns, no callback of the client runs and the client is gone. Safe when
  // nothing is open.
  void Close();

  jack_client_t* get() const { return client_; }
  bool IsOpen() const { return client_ != nullptr; }
  // True once the server of the open client went away.
  bool ServerGone() const { return client_ != nullptr && serverGone_.load(); }

 private:
  static void OnShutdown(jack_status_t, const char*, void* self);
  static void OnPlainShutdown(void* self);

  jack_client_t* client_ = nullptr;
  std::atomic<bool> serverGone_{false};
};

}  // namespace ampora
