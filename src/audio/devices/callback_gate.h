#pragma once

#include <atomic>
#include <thread>

namespace ampora {

// Lets the UI thread know for certain that a device callback is not running and will not
// run, whatever the audio library believes about its stream (a JACK server that went
// away has its stream closed by the library on a thread of its own). The callback only
// flips counters; the UI thread waits, briefly, for the callback in progress to leave.
//
// Enter() and Close() are the two halves of a store-then-load handshake on two flags
// (the callback announces itself, then looks at closed_; Close() sets closed_, then looks
// at the callbacks). Only sequentially consistent operations on all four accesses rule
// out both sides missing each other: with a weaker load, a processor may let the load
// pass the store before it, and Close() would return while a callback goes on.
class CallbackGate {
 public:
  // Device thread, at the top of the callback: false = do nothing and return.
  bool Enter() {
    active_.fetch_add(1, std::memory_order_seq_cst);
    if (!closed_.load(std::memory_order_seq_cst)) return true;
    active_.fetch_sub(1, std::memory_order_release);
    return false;
  }
  // Device thread, when the callback is done with the headers and frames. Release: what
  // the callback wrote is visible to the UI thread once Close() has seen it leave.
  void Leave() { active_.fetch_sub(1, std::memory_order_release); }

  // UI thread: when this returns, no callback works until Open. Closed at first.
  void Close() {
    closed_.store(true, std::memory_order_seq_cst);
    while (active_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
  }
  void Open() { closed_.store(false, std::memory_order_seq_cst); }

 private:
  std::atomic<int> active_{0};
  std::atomic<bool> closed_{true};
  static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
};

}  // namespace ampora
