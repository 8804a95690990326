#include "live/tick_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/allocation_counter.h"

namespace ampora {
namespace {

// Both ends of a pipe, closed at the end of the test.
struct Pipe {
  Pipe() { EXPECT_EQ(pipe(fds), 0); }
  ~Pipe() {
    for (int fd : fds) {
      if (fd >= 0) close(fd);
    }
  }
  void Put(const std::string& bytes) const {
    EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::string Take() const {
    char buffer[64];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }
  int fds[2] = {-1, -1};
};

TEST(TickLoop, TicksAndRunsHandlersInBetweenUntilStopped) {
  Pipe input;
  int ticks = 0;
  std::string taken;
  TickLoop* loop = nullptr;
  TickLoop tickLoop(
      [&] {
        if (++ticks == 3) input.Put("bank 5\n");
      },
      1);
  loop = &tickLoop;
  tickLoop.Watch(
      input.fds[0],
      [&] {
        taken += input.Take();
        loop->Stop(3);
      },
      false);
  EXPECT_EQ(tickLoop.Run(), 3);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(taken, "bank 5\n");
}

// A service's standard input ends at once (it is /dev/null or closed): the loop goes on
// ticking without spinning on the end of input.
TEST(TickLoop, AnInputThatEndedIsUnwatchedAndTheTicksGoOn) {
  Pipe input;
  close(input.fds[1]);
  input.fds[1] = -1;
  int ticks = 0;
  int ends = 0;
  TickLoop loop(
      [&] {
        if (++ticks == 5) loop.Stop(0);
      },
      1);
  loop.Watch(
      input.fds[0],
      [&] {
        if (input.Take().empty()) {
          ++ends;
          loop.Unwatch(input.fds[0]);
        }
      },
      false);
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_EQ(ends, 1);
}

// Inside a wait (a handler letting events run) the ticks that come due still run, and so
// do the handlers meant for that, once each; the others wait for the loop.
TEST(TickLoop, AWaitRunsDueTicksAndNestedHandlersOnly) {
  Pipe command, signal, other;
  int ticks = 0;
  int signals = 0;
  int others = 0;
  int ticksInWait = 0;
  TickLoop loop([&] { ++ticks; }, 1);
  loop.Watch(
      command.fds[0],
      [&] {
        command.Take();
        const int before = ticks;
        const uint64_t allocations = test::AllocationCount();
        while (ticks < before + 3) loop.RunPending();
        EXPECT_EQ(test::AllocationCount(), allocations) << "the poll's waits allocate nothing";
        ticksInWait = ticks - before;
        EXPECT_EQ(others, 0) << "not inside the wait";
        loop.Stop(0);
      },
      false);
  loop.Watch(
      signal.fds[0],
      [&] {
        ++signals;
        loop.RunPending();  // still readable: not entered again
        signal.Take();
      },
      true);
  loop.Watch(
      other.fds[0],
      [&] {
        ++others;
        other.Take();
      },
      false);
  command.Put("start\n");
  signal.Put("x");
  loop.Run();
  EXPECT_EQ(ticksInWait, 3);
  EXPECT_EQ(signals, 1);
}

TEST(TickLoop, AStopBeforeTheRunEndsItAtOnce) {
  int ticks = 0;
  TickLoop loop([&] { ++ticks; }, 1);
  loop.Stop(4);
  EXPECT_EQ(loop.Run(), 4);
  EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace ampora
