#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <vector>

namespace ampora {

// A fixed-capacity queue between one producer thread and one consumer thread, without
// locks: each side owns one index, publishes it with release order and reads the other's
// with acquire order. The storage is allocated once, by the constructor.
template <class T>
class SpscRing {
 public:
  // capacity: at least 1. The storage is the next power of two, so that the indices can
  // wrap at 2^32.
  explicit SpscRing(uint32_t capacity)
      : slots_(std::bit_ceil(capacity)), mask_(std::bit_ceil(capacity) - 1), capacity_(capacity) {}

  // Producer: appends up to count items, returns how many fitted.
  int32_t Push(const T* items, int32_t count) {
    const uint32_t tail = tail_.load(std::memory_order_relaxed);
    const uint32_t free = Capacity() - (tail - head_.load(std::memory_order_acquire));
    const uint32_t n = count <= 0 ? 0 : (static_cast<uint32_t>(count) < free ? count : free);
    for (uint32_t i = 0; i < n; ++i) slots_[(tail + i) & mask_] = items[i];
    tail_.store(tail + n, std::memory_order_release);
    return static_cast<int32_t>(n);
  }
  bool Push(const T& item) { return Push(&item, 1) == 1; }

  // Consumer: the number of items ready; each call sees what the producer has published.
  uint32_t Available() const {
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_relaxed);
  }
  // Consumer: item i of the ready ones (i < Available()).
  const T& Peek(uint32_t i) const {
    return slots_[(head_.load(std::memory_order_relaxed) + i) & mask_];
  }
  // Consumer: removes n ready items.
  void Drop(uint32_t n) {
    head_.store(head_.load(std::memory_order_relaxed) + n, std::memory_order_release);
  }

  uint32_t Capacity() const { return capacity_; }

 private:
  std::vector<T> slots_;
  uint32_t mask_;
  uint32_t capacity_;
  std::atomic<uint32_t> head_{0};
  std::atomic<uint32_t> tail_{0};
  static_assert(std::atomic<uint32_t>::is_always_lock_free);
};

}  // namespace ampora
