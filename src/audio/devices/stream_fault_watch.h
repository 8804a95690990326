#pragma once

#include <atomic>
#include <cstdint>

namespace ampora {

// Tells a stream whose device keeps failing from one that stumbled once. An audio
// library reports each failed read or write of its stream thread (an ALSA device gone,
// a PulseAudio server that went away) and goes on calling the stream's callback, often
// at once and without end, since the failing call no longer waits for the device. One
// failed cycle is an overrun or underrun the library recovers from; kFailedCyclesForLost
// in a row, or one failure the library gives the stream up for, is a lost device, which
// the UI thread reads at its next poll.
//
// The library's error report carries no pointer to the stream, but comes on the thread
// of the failing call: the stream callback (and the UI thread around a start) names the
// watch of that thread, and the report goes to it.
//
// Thread: CycleStarted on the stream thread; Failed and Reset on the UI thread; Report
// on either.
class StreamFaultWatch {
 public:
  // About 0.2 s of cycles of 256 frames; a failing device runs through them in
  // microseconds.
  static constexpr int32_t kFailedCyclesForLost = 32;

  // Stream thread, at the top of each callback: names this watch as the thread's and
  // closes the cycle before. Returns false when that cycle failed (an input then has no
  // new frames to deliver).
  bool CycleStarted() {
    ThreadWatch() = this;
    const bool worked = errorsInCycle_.exchange(0, std::memory_order_relaxed) == 0;
    // A lost stream stays lost until its owner closes it.
    const int32_t failed = failedCycles_.load(std::memory_order_relaxed);
    if (failed < kFailedCyclesForLost) {
      failedCycles_.store(worked ? 0 : failed + 1, std::memory_order_relaxed);
    }
    return worked;
  }
  // A failed call of the stream; fatal: the library gave the stream up.
  void Report(bool fatal) {
    errorsInCycle_.fetch_add(1, std::memory_order_relaxed);
    if (fatal) failedCycles_.store(kFailedCyclesForLost, std::memory_order_relaxed);
  }
  bool Failed() const {
    return failedCycles_.load(std::memory_order_relaxed) >= kFailedCyclesForLost;
  }
  // UI thread, before the stream starts.
  void Reset() {
    errorsInCycle_.store(0, std::memory_order_relaxed);
    failedCycles_.store(0, std::memory_order_relaxed);
  }

  // The library's error report: to the watch the current thread names; nothing when it
  // names none (a failure of a call the UI thread checks by its result).
  static void ReportOnThisThread(bool fatal) {
    if (StreamFaultWatch* watch = ThreadWatch()) watch->Report(fatal);
  }

  // Names a watch as the current thread's while it lives (the UI thread around a call
  // that starts the stream).
  class ThreadScope {
   public:
    explicit ThreadScope(StreamFaultWatch& watch) : previous_(ThreadWatch()) {
      ThreadWatch() = &watch;
    }
    ~ThreadScope() { ThreadWatch() = previous_; }
    ThreadScope(const ThreadScope&) = delete;
    ThreadScope& operator=(const ThreadScope&) = delete;

   private:
    StreamFaultWatch* previous_;
  };

 private:
  static StreamFaultWatch*& ThreadWatch() {
    static thread_local StreamFaultWatch* watch = nullptr;
    return watch;
  }

  std::atomic<int32_t> errorsInCycle_{0};
  std::atomic<int32_t> failedCycles_{0};
  static_assert(std::atomic<int32_t>::is_always_lock_free);
};

}  // namespace ampora
