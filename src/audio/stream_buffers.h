#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/frame.h"

namespace ampora {

inline constexpr int kStageRingCount = 17;

// The rings and gains that the stream engine allocates (InitStream) and the effect
// chain reads and writes. Rings stay at fixed addresses between two InitStream calls.
//
// Thread: UI thread. Device threads see only the frames of the blocks handed to them.
struct StreamBuffers {
  int32_t BlockLen = 0;
  int32_t BlockCount = 0;
  int32_t RingLen = 0;
  // Bumped by every AllocateRings, also one that keeps the size (and so, as a rule, the
  // addresses): the one sure sign that the rings were replaced.
  uint64_t Generation = 0;
  std::vector<Frame> CaptureRing;
  std::vector<Frame> PlayRing;
  std::array<std::vector<Frame>, kStageRingCount> StageRing;
  // Gain factors (left, right) set by the level faders; only InGain[0] reaches the audio.
  std::array<float, 2> InGain{1.0f, 1.0f};
  std::array<float, 2> OutGain{1.0f, 1.0f};
};

// (Re)allocates the rings of blockCount blocks of blockLen frames, zero-filled, and sets
// the sizes: what InitStream does, and what the offline renderer does without devices.
void AllocateRings(StreamBuffers& buffers, int32_t blockLen, int32_t blockCount);

// What the engine calls for each completed block when the bypass is off: the effect
// chain. Returns 1 when the pass completed, 0 when an error abandoned it.
class BlockProcessor {
 public:
  virtual ~BlockProcessor() = default;
  virtual int ProcessBlock(int32_t start, int32_t end) = 0;
};

}  // namespace ampora
