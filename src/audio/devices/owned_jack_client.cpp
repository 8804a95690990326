#include "audio/devices/owned_jack_client.h"

#include <chrono>
#include <thread>

namespace ampora {

bool OwnedJackClient::Open(const char* name, jack_status_t& status) {
  Close();
  // A server that runs may still refuse one client for a moment (a busy machine, clients
  // of other programs coming and going): a few tries before the open counts as failed. No
  // server at all fails at once.
  constexpr int kTries = 3;
  constexpr auto kPause = std::chrono::milliseconds(50);
  for (int attempt = 0; attempt < kTries && client_ == nullptr; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kPause);
    client_ = jack_client_open(name, JackNoStartServer, &status);
    if ((status & JackServerFailed) != 0) break;
  }
  if (client_ == nullptr) return false;
  serverGone_.store(false);
  jack_on_info_shutdown(client_, &OnShutdown, this);
  // PipeWire's JACK library tells only the plain shutdown callback.
  jack_on_shutdown(client_, &OnPlainShutdown, this);
  return true;
}

void OwnedJackClient::Close() {
  if (client_ == nullptr) return;
  // A client whose server went away is closed all the same, which frees it.
  if (!serverGone_.load()) jack_deactivate(client_);
  jack_client_close(client_);
  client_ = nullptr;
}

void OwnedJackClient::OnShutdown(jack_status_t, const char*, void* self) {
  OnPlainShutdown(self);
}

void OwnedJackClient::OnPlainShutdown(void* self) {
  static_cast<OwnedJackClient*>(self)->serverGone_.store(true);
}

}  // namespace ampora
