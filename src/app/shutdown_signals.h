#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

// The signals that ask a program to end, SIGTERM (a logout, a service manager), SIGHUP (a
// terminal that was closed) and SIGINT (Ctrl+C in a terminal), end this one the normal
// way: the signal handler only writes a byte to a pipe, and the UI thread, woken by the
// pipe, runs the program's shut-down. Each signal is caught once; the same signal again
// ends the program at once, as if it were not caught, should the shut-down hang.
//
// Thread: UI thread. One object at a time.

namespace ampora {

class ShutdownSignals final : public QObject {
 public:
  // onSignal runs on the UI thread, from the event loop, for every caught signal.
  explicit ShutdownSignals(std::function<void()> onSignal);
  // The signals take their default action again.
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 private:
  void Drain();

  std::function<void()> onSignal_;
  int fds_[2] = {-1, -1};  // read end, write end
  std::unique_ptr<QSocketNotifier> notifier_;
};

inline constexpr int kShutdownSignals[] = {SIGTERM, SIGHUP, SIGINT};

}  // namespace ampora
