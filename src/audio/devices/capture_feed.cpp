#include "audio/devices/capture_feed.h"

#include <algorithm>
#include <cstring>

namespace ampora {

void CaptureFeed::ReturnAll() {
  queue_.ReturnAll();
  filledFrames_ = 0;
  delivered_.store(0, std::memory_order_relaxed);
}

void CaptureFeed::Deliver(const Frame* frames, int32_t count) {
  int32_t delivered = 0;
  while (delivered < count) {
    WaveHeader* header = queue_.Front();
    if (header == nullptr) break;
    const int32_t n = std::min(HeaderFrames(*header) - filledFrames_, count - delivered);
    if (n > 0) {
      std::memcpy(header->data + filledFrames_, frames + delivered,
                  static_cast<size_t>(n) * sizeof(Frame));
      filledFrames_ += n;
      delivered += n;
    }
    if (filledFrames_ >= HeaderFrames(*header)) {
      queue_.FinishFront();
      filledFrames_ = 0;
    }
  }
  delivered_.store(delivered_.load(std::memory_order_relaxed) + delivered,
                   std::memory_order_relaxed);
}

}  // namespace ampora
