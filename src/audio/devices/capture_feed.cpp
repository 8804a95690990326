#include "audio/devices/capture_feed.h"

#include <cstring>

namespace ampora {

void CaptureFeed::Deliver(const Frame* frames, int32_t count) {
  queue_.Walk(count, [frames](WaveHeader& header, int32_t from, int32_t n, int32_t done) {
    std::memcpy(header.data + from, frames + done, static_cast<size_t>(n) * sizeof(Frame));
  });
}

}  // namespace ampora
