#include "audio/devices/play_feed.h"

#include <algorithm>
#include <cstring>

#include "audio/stream_format.h"

namespace ampora {

void PlayFeed::CopyFront(const WaveHeader& header, int32_t from, int32_t n, Frame* out) {
  const int32_t total = HeaderFrames(header);
  const int32_t borrowed = std::clamp<int32_t>(header.borrowedBytes / BlockAlign, 0, total);
  const int32_t own = std::clamp(total - borrowed - from, 0, n);
  if (own > 0) std::memcpy(out, header.data + from, static_cast<size_t>(own) * sizeof(Frame));
  if (own == n) return;
  // Borrowed frames are final once the engine has queued the header after this one.
  if (queue_.HasSecond()) {
    std::memcpy(out + own, header.data + from + own, static_cast<size_t>(n - own) * sizeof(Frame));
  } else {
    std::fill(out + own, out + n, Frame{});
    AddGap(n - own);
  }
}

void PlayFeed::AddGap(int32_t frames) {
  gaps_.store(gaps_.load(std::memory_order_relaxed) + frames, std::memory_order_relaxed);
}

int32_t PlayFeed::Pull(Frame* out, int32_t count) {
  const int32_t taken =
      queue_.Walk(count, [this, out](const WaveHeader& header, int32_t from, int32_t n,
                                     int32_t done) { CopyFront(header, from, n, out + done); });
  std::fill(out + taken, out + count, Frame{});
  if (taken > 0) started_ = true;
  // The silence before the first header is the stream starting, not a gap.
  if (started_ && taken < count) AddGap(count - taken);
  return taken;
}

}  // namespace ampora
