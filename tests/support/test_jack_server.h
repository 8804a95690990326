#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace ampora::test {

// A JACK server with the dummy driver, of a name of its own, for the tests that stream
// through a real server: `jackd --no-realtime -S -n NAME -d dummy -r RATE -p PERIOD`.
// Synchronous mode (-S): without real-time scheduling a busy machine makes clients late,
// and the server then waits for them instead of dropping their cycle, so a test hears
// every frame it was sent. The server is stopped (by its process id) with the object.
//
// Thread: the test's thread.
class TestJackServer {
 public:
  TestJackServer() = default;
  ~TestJackServer() { Stop(); }
  TestJackServer(const TestJackServer&) = delete;
  TestJackServer& operator=(const TestJackServer&) = delete;

  // Starts the server and waits until a client can connect to it (at most 20 s), stopping
  // one this object started before. False, with the reason and the server's own output in
  // Error(), when it does not answer.
  bool Start(const std::string& name, int32_t rate, int32_t period = 256);
  // Ends the server with the signal, as a system shutdown (SIGTERM) or a crash (SIGKILL)
  // would, forcibly after 5 s, and waits for its end; nothing when none runs.
  void Stop(int signal = SIGTERM);

  // Whether the server this object started still runs (not, say, another of its name).
  bool Running() const;
  // Whether a client can connect to a server of the name.
  bool Answers() const;
  const std::string& Name() const { return name_; }
  int32_t Rate() const { return rate_; }
  const std::string& Error() const { return error_; }

  // A server name no other test process uses: prefix, this process's id and the rate.
  static std::string UniqueName(const std::string& prefix, int32_t rate);

 private:
  std::string Log() const;

  pid_t pid_ = -1;
  std::string name_;
  int32_t rate_ = 0;
  std::string logPath_;
  std::string error_;
};

// Makes the JACK clients that the process opens while it lives connect to the named server
// (JACK_DEFAULT_SERVER) and never start one (JACK_NO_START_SERVER); the environment is
// put back afterwards.
class UseJackServer {
 public:
  explicit UseJackServer(const std::string& name);
  ~UseJackServer();
  UseJackServer(const UseJackServer&) = delete;
  UseJackServer& operator=(const UseJackServer&) = delete;

 private:
  std::optional<std::string> server_;
  std::optional<std::string> noStart_;
};

}  // namespace ampora::test
