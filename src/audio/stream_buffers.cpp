#include "audio/stream_buffers.h"

#include <cstddef>

namespace ampora {

void AllocateRings(StreamBuffers& buffers, int32_t blockLen, int32_t blockCount) {
  ++buffers.Generation;
  buffers.BlockLen = blockLen;
  buffers.BlockCount = blockCount;
  buffers.RingLen = blockLen * blockCount;
  const auto ringLen = static_cast<size_t>(buffers.RingLen);
  buffers.CaptureRing.assign(ringLen, Frame{});
  buffers.PlayRing.assign(ringLen, Frame{});
  for (std::vector<Frame>& ring : buffers.StageRing) ring.assign(ringLen, Frame{});
}

}  // namespace ampora
