#include "util/wait.h"

#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

#include "util/error_trap.h"
#include "util/pending_events.h"

namespace ampora {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kLastInstant = 86399.999;

double MonotonicSecondsOfDay() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const double seconds = std::chrono::duration<double>(now).count();
  return std::fmod(seconds, kSecondsPerDay);
}

SecondsSinceMidnight& Clock() {
  static SecondsSinceMidnight clock;
  return clock;
}

double ReadClock() {
  const double now = Clock() ? Clock()() : MonotonicSecondsOfDay();
  if (!(now >= 0.0)) return 0.0;  // negative or NaN
  return now >= kLastInstant ? kLastInstant : now;
}

}  // namespace

void SetWaitClock(SecondsSinceMidnight clock) {
  Clock() = std::move(clock);
}

void WaitMs(int32_t durationMs, int32_t sleepMs) {
  TrapErrors([&] {
    if (durationMs <= 0) {
      RunPendingEvents();
      return;
    }
    // Elapsed time adds up turn by turn, so that a wait longer than a day also ends.
    const double span = durationMs / 1000.0;
    double before = ReadClock();
    double elapsed = 0.0;
    for (;;) {
      RunPendingEvents();
      const double now = ReadClock();
      elapsed += before <= now ? now - before : now + kSecondsPerDay - before;
      before = now;
      if (elapsed > span) return;
      if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    }
  });
}

}  // namespace ampora
