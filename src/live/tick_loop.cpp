#include "live/tick_loop.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <utility>

namespace ampora {

namespace {

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSecond = 1000000000;

int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

}  // namespace

TickLoop::TickLoop(Handler tick, int32_t intervalMs)
    : tick_(std::move(tick)), intervalNs_(std::max<int64_t>(intervalMs, 1) * kNsPerMs) {}

bool TickLoop::Watch(int fd, Handler handler, bool nested) {
  Unwatch(fd);
  if (watched_.size() >= kMaxWatched) return false;
  watched_.push_back({nextId_++, fd, std::make_shared<Handler>(std::move(handler)), nested, false});
  return true;
}

void TickLoop::Unwatch(int fd) {
  // One whose handler runs is dropped when the handler returns.
  for (Watched& w : watched_) {
    if (w.fd == fd) w.fd = -1;
  }
  std::erase_if(watched_, [](const Watched& w) { return w.fd == -1 && !w.running; });
}

int TickLoop::Run() {
  nextTickNs_ = NowNs() + intervalNs_;
  while (!stopped_) {
    RunReady(std::max<int64_t>(nextTickNs_ - NowNs(), 0), false);
    if (!stopped_) TickIfDue();
  }
  return exitCode_;
}

void TickLoop::Stop(int exitCode) {
  exitCode_ = exitCode;
  stopped_ = true;
}

void TickLoop::RunPending() {
  TickIfDue();
  RunReady(0, true);
}

void TickLoop::TickIfDue() {
  const int64_t now = NowNs();
  if (now < nextTickNs_) return;
  // Set before the tick runs: a wait inside it finds the next one not yet due.
  nextTickNs_ += intervalNs_;
  if (nextTickNs_ <= now) nextTickNs_ = now + intervalNs_;
  tick_();
}

void TickLoop::RunReady(int64_t timeoutNs, bool onlyNested) {
  std::array<pollfd, kMaxWatched> fds{};
  std::array<uint64_t, kMaxWatched> ids{};
  size_t count = 0;
  for (const Watched& w : watched_) {
    if (w.fd < 0 || w.running || (onlyNested && !w.nested)) continue;
    fds[count] = {w.fd, POLLIN, 0};
    ids[count] = w.id;
    ++count;
  }
  const timespec timeout{static_cast<time_t>(timeoutNs / kNsPerSecond),
                         static_cast<long>(timeoutNs % kNsPerSecond)};
  if (ppoll(fds.data(), count, &timeout, nullptr) <= 0) return;
  for (size_t i = 0; i < count && !stopped_; ++i) {
    if (fds[i].revents != 0) RunHandler(ids[i]);
  }
}

void TickLoop::RunHandler(uint64_t id) {
  const auto find = [this, id] {
    return std::find_if(watched_.begin(), watched_.end(),
                        [id](const Watched& w) { return w.id == id; });
  };
  // An earlier handler may have unwatched it, or let it run meanwhile.
  auto it = find();
  if (it == watched_.end() || it->fd < 0 || it->running) return;
  it->running = true;
  const std::shared_ptr<Handler> handler = it->handler;
  (*handler)();
  it = find();
  if (it == watched_.end()) return;
  it->running = false;
  if (it->fd < 0) watched_.erase(it);
}

}  // namespace ampora
