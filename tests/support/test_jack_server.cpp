#include "support/test_jack_server.h"

#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace ampora::test {

namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> Getenv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

std::string TestJackServer::UniqueName(const std::string& prefix, int32_t rate) {
  return prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(rate);
}

bool TestJackServer::Start(const std::string& name, int32_t rate, int32_t period) {
  Stop();
  name_ = name;
  rate_ = rate;
  error_.clear();
  const char* tmp = std::getenv("TMPDIR");
  logPath_ = std::string(tmp != nullptr ? tmp : "/tmp") + "/jackd-" + name + ".log";

  const std::string rateText = std::to_string(rate);
  const std::string periodText = std::to_string(period);
  std::vector<std::string> args = {"jackd", "--no-realtime", "-S", "-n",      name, "-d", "dummy",
                                   "-r",    rateText,        "-p", periodText};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Never the machine's sound card, whatever a desktop session says.
  std::vector<std::string> env = {"JACK_NO_AUDIO_RESERVATION=1"};
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath_.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // The server takes signals whatever this process blocks (test-jackd blocks the ends).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, "jackd", &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    error_ = "cannot start jackd: " + std::string(strerror(spawned));
    return false;
  }
  pid_ = pid;

  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "jackd " + name + " ended at once; its output:\n" + Log();
      return false;
    }
    // libjack says on standard error why each early try fails: few tries, few lines.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    if (Answers()) return true;
  }
  error_ = "jackd " + name + " did not answer within 20 s; its output:\n" + Log();
  Stop();
  return false;
}

bool TestJackServer::Answers() const {
  jack_status_t status{};
  jack_client_t* client = jack_client_open(
      "ampora-test-probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
      name_.c_str());
  if (client == nullptr) return false;
  jack_client_close(client);
  return true;
}

bool TestJackServer::Running() const {
  return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

void TestJackServer::Stop(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pid_ = -1;
}

std::string TestJackServer::Log() const {
  std::ifstream file(logPath_);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

UseJackServer::UseJackServer(const std::string& name)
    : server_(Getenv("JACK_DEFAULT_SERVER")), noStart_(Getenv("JACK_NO_START_SERVER")) {
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
}

UseJackServer::~UseJackServer() {
  Restore("JACK_DEFAULT_SERVER", server_);
  Restore("JACK_NO_START_SERVER", noStart_);
}

}  // namespace ampora::test
