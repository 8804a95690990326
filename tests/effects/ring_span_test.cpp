#include "effects/ring_span.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "audio/frame.h"

namespace ampora {
namespace {

TEST(RingSpanTest, SumOverAnySpanMatchesFrameByFrameModuloTheRing) {
  std::mt19937 rng(7);
  for (int32_t ringLen : {1, 2, 7, 64}) {
    std::vector<Frame> ring(static_cast<size_t>(ringLen));
    for (Frame& f : ring) f.left = static_cast<int16_t>(rng() % 65536 - 32768);
    for (int trial = 0; trial < 300; ++trial) {
      const int64_t first = static_cast<int64_t>(rng() % 2000) - 1000;
      const int64_t count = rng() % (5 * ringLen + 3);
      int64_t expected = 0;
      for (int64_t k = first; k < first + count; ++k) {
        expected += ring[static_cast<size_t>(((k % ringLen) + ringLen) % ringLen)].left;
      }
      EXPECT_EQ(SumLeftOverSpan(ring.data(), ringLen, first, count), expected)
          << "ring " << ringLen << " first " << first << " count " << count;
    }
  }
}

TEST(RingSpanTest, AddingOnesRoundsExactlyLikeTheLoop) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> start(0.0, 2.0);
  for (int trial = 0; trial < 200; ++trial) {
    // Start values with all 53 bits in use make every binade crossing round.
    const double value = trial == 0 ? 0.0 : start(rng);
    const int64_t count = static_cast<int64_t>(rng() % 300000);
    double loop = value;
    for (int64_t k = 0; k < count; ++k) loop += 1.0;
    EXPECT_EQ(AddOnesOneByOne(value, count), loop) << value << " + " << count << " ones";
  }
}

}  // namespace
}  // namespace ampora
