#include "audio/devices/capture_feed.h"

#include <cstring>

namespace ampora {

void CaptureFeed::Deliver(const Frame* frames, int32_t count) {
  const int32_t taken =
      queue_.Walk(count, [frames](WaveHeader& header, int32_t from, int32_t n, int32_t done) {
        std::memcpy(header.data + from, frames + done, static_cast<size_t>(n) * sizeof(Frame));
      });
  if (taken < count) {
    dropped_.store(dropped_.load(std::memory_order_relaxed) + (count - taken),
                   std::memory_order_relaxed);
  }
}

}  // namespace ampora
