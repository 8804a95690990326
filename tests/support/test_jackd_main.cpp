// test-jackd NAME RATE [PERIOD]: runs the tests' JACK server (support/test_jack_server.h)
// until it is sent SIGTERM or SIGINT, then stops it. Prints "ready" once a client can
// connect; ends with status 1 and the server's output when the server does not answer or
// ends by itself. scripts/jack-dummy starts the shared test server through it, so that
// every test server is started the one way.
#include <signal.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "support/test_jack_server.h"

namespace {

bool ParseFrames(const char* text, int32_t& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed <= 0 || parsed > 1000000) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int32_t rate = 0;
  int32_t period = 256;
  if (argc < 3 || argc > 4 || !ParseFrames(argv[2], rate) ||
      (argc == 4 && !ParseFrames(argv[3], period))) {
    std::cerr << "usage: test-jackd NAME RATE [PERIOD]  (RATE and PERIOD in frames)\n";
    return 2;
  }
  // Taken as they come, not by a handler: the server is stopped on this thread.
  sigset_t ends;
  sigemptyset(&ends);
  sigaddset(&ends, SIGTERM);
  sigaddset(&ends, SIGINT);
  sigaddset(&ends, SIGHUP);
  sigprocmask(SIG_BLOCK, &ends, nullptr);

  ampora::test::TestJackServer server;
  if (!server.Start(argv[1], rate, period)) {
    std::cerr << server.Error() << '\n';
    return 1;
  }
  std::cout << "ready" << std::endl;
  const timespec turn{0, 200'000'000};
  while (sigtimedwait(&ends, nullptr, &turn) < 0) {
    if (!server.Running()) {
      std::cerr << "the JACK server " << argv[1] << " ended by itself\n";
      return 1;
    }
  }
  server.Stop();
  return 0;
}
