#include "audio/devices/play_feed.h"

#include <algorithm>
#include <cstring>

#include "audio/stream_format.h"

namespace ampora {

void PlayFeed::ReturnAll() {
  queue_.ReturnAll();
  playedFrames_ = 0;
  played_.store(0, std::memory_order_relaxed);
}

void PlayFeed::CopyFront(const WaveHeader& header, int32_t from, int32_t n, Frame* out) const {
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
  }
}

int32_t PlayFeed::Pull(Frame* out, int32_t count) {
  int32_t taken = 0;
  while (taken < count) {
    const WaveHeader* header = queue_.Front();
    if (header == nullptr) break;
    const int32_t n = std::min(HeaderFrames(*header) - playedFrames_, count - taken);
    if (n > 0) {
      CopyFront(*header, playedFrames_, n, out + taken);
      playedFrames_ += n;
      taken += n;
    }
    if (playedFrames_ >= HeaderFrames(*header)) {
      queue_.FinishFront();
      playedFrames_ = 0;
    }
  }
  std::fill(out + taken, out + count, Frame{});
  played_.store(played_.load(std::memory_order_relaxed) + taken, std::memory_order_relaxed);
  return taken;
}

}  // namespace ampora
