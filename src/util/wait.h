#pragma once

#include <cstdint>
#include <functional>

// A wait that keeps the user interface alive: pending events run on every turn.
//
// Thread: UI thread only.

namespace ampora {

// The clock of WaitMs: seconds since midnight, 0 <= t < 86400, wrapping to 0.
using SecondsSinceMidnight = std::function<double()>;

// Replaces the clock (tests script it); an empty clock restores the default, a monotonic
// clock folded into one day: its wrap behaves like midnight, and changes of the wall
// clock (time zone, summer time, adjustments) can neither stretch nor cut a wait.
void SetWaitClock(SecondsSinceMidnight clock);

// Waits durationMs milliseconds, letting pending events run on every turn and sleeping
// sleepMs milliseconds between turns (0 = spin). A duration of 0 or less lets pending
// events run once. A wait that passes midnight still lasts its duration.
void WaitMs(int32_t durationMs, int32_t sleepMs);

}  // namespace ampora
