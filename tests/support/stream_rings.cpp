#include "support/stream_rings.h"

#include <cstddef>
#include <vector>

namespace ampora::test {

void AllocateRings(StreamBuffers& stream, int32_t blockLen, int32_t blockCount) {
  stream.BlockLen = blockLen;
  stream.BlockCount = blockCount;
  stream.RingLen = blockLen * blockCount;
  const std::vector<Frame> zeros(static_cast<size_t>(stream.RingLen));
  stream.CaptureRing = zeros;
  stream.PlayRing = zeros;
  for (auto& ring : stream.StageRing) ring = zeros;
}

}  // namespace ampora::test
