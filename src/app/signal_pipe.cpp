#include "app/signal_pipe.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace ampora {

namespace {

// The write end of the pipe, for the handler; -1 when no object is alive.
volatile sig_atomic_t gWriteFd = -1;

// Async-signal-safe: one write, errno kept for the interrupted code.
void OnSignal(int signal) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  if (gWriteFd >= 0) {
    [[maybe_unused]] const ssize_t written = write(gWriteFd, &byte, 1);
  }
  errno = savedErrno;
}

void SetAction(int signal, void (*handler)(int), int flags) {
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
}

}  // namespace

SignalPipe::SignalPipe() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  gWriteFd = fds_[1];
  // SA_RESETHAND: the first one is caught, the next one of the same kind is not.
  for (int signal : kShutdownSignals) SetAction(signal, OnSignal, SA_RESTART | SA_RESETHAND);
}

SignalPipe::~SignalPipe() {
  for (int signal : kShutdownSignals) SetAction(signal, SIG_DFL, 0);
  gWriteFd = -1;
  for (int fd : fds_) {
    if (fd >= 0) close(fd);
  }
}

bool SignalPipe::Drain() {
  if (fds_[0] < 0) return false;
  char bytes[16];
  bool caught = false;
  while (read(fds_[0], bytes, sizeof bytes) > 0) caught = true;
  return caught;
}

}  // namespace ampora
