#pragma once

#include <atomic>
#include <thread>

namespace ampora {

// Lets the UI thread know for certain that a device callback is not running and will not
// run, whatever the audio library believes about its stream (a JACK server that went
// away has its stream closed by the library on a thread of its own). The callback only
// flips counters; the UI thread waits, briefly, for the callback in progress to leave.
class CallbackGate {
 public:
  // Device thread, at the top of the callback: false = do nothing and return.
  bool Enter() {
    active_.fetch_add(1);
    if (!closed_.load()) return true;
    active_.fetch_sub(1, std::memory_order_release);
    return false;
  }
  // Device thread, when the callback is done with the headers and frames.
  void Leave() { active_.fetch_sub(1, std::memory_order_release); }

  // UI thread: when this returns, no callback works until Open. Closed at first.
  void Close() {
    closed_.store(true);
    while (active_.load(std::memory_order_acquire) != 0) std::this_thread::yield();
  }
  void Open() { closed_.store(false); }

 private:
  std::atomic<int> active_{0};
  std::atomic<bool> closed_{true};
  static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
};

}  // namespace ampora
