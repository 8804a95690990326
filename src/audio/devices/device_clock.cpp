#include "audio/devices/device_clock.h"

#include <algorithm>
#include <chrono>

namespace ampora {

namespace {
// After a stall (a suspended machine) the clock skips what it missed beyond one second
// instead of catching up in a burst.
constexpr int64_t kMaxCatchUpSeconds = 1;
}  // namespace

RealTimeClock::~RealTimeClock() {
  while (!runners_.empty()) Halt(*runners_.back()->device);
}

void RealTimeClock::Run(ClockedDevice& device, int32_t sampleRate) {
  Halt(device);
  auto runner = std::make_unique<Runner>();
  runner->device = &device;
  runner->sampleRate = sampleRate;
  Runner& r = *runner;
  runners_.push_back(std::move(runner));
  r.thread = std::thread([&r] { Loop(r); });
}

void RealTimeClock::Halt(ClockedDevice& device) {
  auto it = std::find_if(runners_.begin(), runners_.end(),
                         [&](const auto& r) { return r->device == &device; });
  if (it == runners_.end()) return;
  (*it)->stop.store(true, std::memory_order_release);
  (*it)->thread.join();
  runners_.erase(it);
}

void RealTimeClock::Loop(Runner& runner) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const int64_t rate = runner.sampleRate;
  int64_t passed = 0;
  while (!runner.stop.load(std::memory_order_acquire)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int64_t micros =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    const int64_t due = micros * rate / 1000000;
    passed = std::max(passed, due - kMaxCatchUpSeconds * rate);
    if (due > passed) runner.device->Advance(static_cast<int32_t>(due - passed));
    passed = due;
  }
}

void ManualClock::Run(ClockedDevice& device, int32_t) {
  Halt(device);
  running_.push_back(&device);
}

void ManualClock::Halt(ClockedDevice& device) {
  std::erase(running_, &device);
}

void ManualClock::Advance(int32_t frames) {
  for (ClockedDevice* device : running_) device->Advance(frames);
}

}  // namespace ampora
