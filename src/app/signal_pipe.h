#pragma once

#include <csignal>

// The signals that ask a program to end, SIGTERM (a logout, a service manager), SIGHUP (a
// terminal that was closed) and SIGINT (Ctrl+C in a terminal), end this one the normal
// way: the signal handler only writes a byte to a pipe, and the program's loop, woken by
// the pipe's read end, runs the shut-down. Each signal is caught once; the same signal
// again ends the program at once, as if it were not caught, should the shut-down hang.
//
// Thread: UI thread; the handler runs on whichever thread the signal interrupts. One
// object at a time.

namespace ampora {

class SignalPipe {
 public:
  // Catches the signals from now on.
  SignalPipe();
  // The signals take their default action again.
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  // Readable when a signal was caught; -1 when no pipe could be made (the signals then
  // take their default action).
  int ReadFd() const { return fds_[0]; }
  // Empties the pipe; true when a signal was caught since the last call.
  bool Drain();

 private:
  int fds_[2] = {-1, -1};  // read end, write end
};

inline constexpr int kShutdownSignals[] = {SIGTERM, SIGHUP, SIGINT};

}  // namespace ampora
