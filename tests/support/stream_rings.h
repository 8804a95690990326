#pragma once

#include <cstdint>

#include "audio/stream_buffers.h"

namespace ampora::test {

// (Re)allocates the rings as InitStream does: zero-filled, BlockLen x BlockCount frames.
void AllocateRings(StreamBuffers& stream, int32_t blockLen, int32_t blockCount);

}  // namespace ampora::test
