#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The tick of a program without a window system: calls the tick every interval on a
// steady cadence and, in between, sleeps until a watched file descriptor (standard
// input, the signal pipe) is readable, running its handler. A tick that comes late does
// not make the next ones come sooner: the ones missed are dropped, as a window timer
// drops them.
//
// The waits of the live path let events run (util/pending_events.h): RunPending is that
// for this loop. It runs a tick that is due (the live path drops a tick inside a tick)
// and the handlers watched with nested = true, never waiting; the other handlers run only
// from the loop itself, so they never run inside a tick or another handler.
//
// Thread: the one thread that runs it (the UI thread), every member.

namespace ampora {

class TickLoop {
 public:
  using Handler = std::function<void()>;

  TickLoop(Handler tick, int32_t intervalMs);
  TickLoop(const TickLoop&) = delete;
  TickLoop& operator=(const TickLoop&) = delete;

  // Runs the handler whenever fd is readable or at its end (a handler must read what is
  // there, or Unwatch, or it runs again at once). A handler is never entered again while
  // it runs. Watching an fd again replaces its handler. At most kMaxWatched at a time:
  // false, and nothing watched, beyond.
  bool Watch(int fd, Handler handler, bool nested);
  void Unwatch(int fd);

  // Ticks and runs handlers until Stop; returns the code given to Stop. Returns at once
  // when Stop came first.
  int Run();
  // Ends Run once the tick or handler that calls it returns.
  void Stop(int exitCode);

  // What a wait lets run: see above. Allocates nothing.
  void RunPending();

  static constexpr size_t kMaxWatched = 8;

 private:
  struct Watched {
    uint64_t id;
    int fd;                            // -1 once unwatched while its handler runs
    std::shared_ptr<Handler> handler;  // shared: a handler may replace its own watch
    bool nested;
    bool running;
  };

  // Waits at most timeoutNs for the watched fds (only the nested ones when onlyNested)
  // and runs the handlers of those that are ready.
  void RunReady(int64_t timeoutNs, bool onlyNested);
  void TickIfDue();
  void RunHandler(uint64_t id);

  Handler tick_;
  int64_t intervalNs_;
  int64_t nextTickNs_ = 0;
  std::vector<Watched> watched_;
  uint64_t nextId_ = 0;
  bool stopped_ = false;
  int exitCode_ = 0;
};

}  // namespace ampora
