#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "effects/delay.h"
#include "effects/echo.h"
#include "effects/effect_test_helpers.h"
#include "support/effect_harness.h"
#include "support/golden.h"
#include "support/signals.h"
#include "util/rounding.h"

namespace ampora {
namespace {

using test::LeftOf;
using test::ParamsOf;
using test::RunBlocks;

constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 428;  // the default ring, 132252 frames

std::vector<int16_t> EchoOf(const std::vector<int16_t>& signal, int32_t ms, int32_t feedback,
                            int32_t blockCount = kBlockCount) {
  Echo echo;
  echo.Apply(ParamsOf(kEcho, {ms, feedback}));
  return LeftOf(
      RunBlocks(signal, kBlockLen, blockCount, [&](const StageBlock& block) { echo.Run(block); }));
}

TEST(EchoTest, CountsFortyFourFramesPerMillisecondAndRepeats) {
  for (int32_t ms : {100, 2000}) {
    std::vector<int16_t> impulse(static_cast<size_t>(3 * 44 * ms + 1), 0);
    impulse[0] = 30001;
    const std::vector<int16_t> out = EchoOf(impulse, ms, 50);
    const size_t delay = 44 * static_cast<size_t>(ms);  // 4400 frames at 100 ms, not 4410
    EXPECT_EQ(out[0], 30001);
    EXPECT_EQ(out[delay - 1], 0);
    EXPECT_EQ(out[delay], 15000);  // 15000.5 rounds to even
    EXPECT_EQ(out[delay + 1], 0);
    EXPECT_EQ(out[2 * delay], 7500);
    EXPECT_EQ(out[3 * delay], 3750);
  }
}

TEST(EchoTest, ShortDelayEchoesTheInputInsideABlockAndRepeatsOnlyAcrossBlocks) {
  // 1 ms = 44 frames: frames 44..308 of a block add the block's own input 44 frames
  // earlier; only the first 44 frames of a block reach back to the echo's own output.
  const std::vector<int16_t> out = EchoOf(std::vector<int16_t>(3 * kBlockLen, 1000), 1, 50, 8);
  for (int32_t n = 0; n < 3 * kBlockLen; ++n) {
    const int32_t inBlock = n % kBlockLen;
    int16_t expected = 1500;
    if (inBlock < 44) expected = n < kBlockLen ? 1000 : 1750;  // silence, then 1000 + 1500 / 2
    ASSERT_EQ(out[n], expected) << "frame " << n;
  }
}

TEST(EchoTest, DelaysBeyondTheRingWrapAroundIt) {
  // A hand-edited bank: 5000 ms is 220000 frames, more than the ring of 132252, so the
  // echo reads the ring 220000 frames back modulo its length; a negative delay reads ahead.
  struct Case {
    int32_t ms;
    size_t firstEcho;  // the frame whose wrapped read position is the impulse's
  };
  for (const Case c : {Case{5000, 87748}, Case{1000000, 92336}, Case{-5000, 44504}}) {
    std::vector<int16_t> impulse(c.firstEcho + 1000, 0);
    impulse[0] = 30000;
    const std::vector<int16_t> out = EchoOf(impulse, c.ms, 50);
    for (size_t n = 1; n < out.size(); ++n) {
      ASSERT_EQ(out[n], n == c.firstEcho ? 15000 : 0) << c.ms << " ms, frame " << n;
    }
  }
}

// A stereo stage ring with different noise on each channel, and the block at its start,
// so that every delayed read wraps round the ring's end.
struct StereoRing {
  static constexpr int32_t kRingLen = 5000;
  std::vector<Frame> in, out;
  StereoRing() : in(kRingLen), out(kRingLen) {
    const std::vector<int16_t> left = test::Noise(30000, kRingLen, 1);
    const std::vector<int16_t> right = test::Noise(30000, kRingLen, 2);
    for (int32_t k = 0; k < kRingLen; ++k) in[k] = Frame{left[k], right[k]};
  }
  StageBlock Block() { return StageBlock{in.data(), out.data(), kRingLen, 0, kBlockLen - 1}; }
  Frame InAt(int64_t k) const {
    return in[static_cast<size_t>((k % kRingLen + kRingLen) % kRingLen)];
  }
};

TEST(DelayTest, DryAndWetIdentitiesOnBothChannels) {
  StereoRing ring;
  Delay delay;
  delay.Apply(ParamsOf(kDelay, {60, 40, 0, 100}));
  delay.Run(ring.Block());
  for (int32_t k = 0; k < kBlockLen; ++k) {
    ASSERT_EQ(ring.out[k].left, Clip(ring.in[k].left)) << k;
    ASSERT_EQ(ring.out[k].right, Clip(ring.in[k].right)) << k;
  }
  // Dry 0, wet 100: each channel is its input 44 x P frames earlier, here round the ring's
  // end; and in a hand-edited bank, any number of rings back or ahead.
  for (const auto& [leftMs, rightMs] : {std::pair{60, 40}, std::pair{1000000, -3}}) {
    delay.Apply(ParamsOf(kDelay, {leftMs, rightMs, 100, 0}));
    delay.Run(ring.Block());
    for (int32_t k = 0; k < kBlockLen; ++k) {
      ASSERT_EQ(ring.out[k].left, Clip(ring.InAt(k - 44LL * leftMs).left)) << k;
      ASSERT_EQ(ring.out[k].right, Clip(ring.InAt(k - 44LL * rightMs).right)) << k;
    }
  }
}

TEST(DelayTest, AnApplyThatOverflowsKeepsTheDelayItCouldNotReplace) {
  StereoRing ring;
  Delay delay;
  delay.Apply(ParamsOf(kDelay, {60, 40, 100, 0}));
  // 44 x 10^8 frames leave the 32-bit range: the left delay stays, nothing after it changes.
  EXPECT_FALSE(TrapErrors([&] { delay.Apply(ParamsOf(kDelay, {100000000, 1, 0, 100})); }));
  delay.Run(ring.Block());
  for (int32_t k = 0; k < kBlockLen; ++k) {
    ASSERT_EQ(ring.out[k].left, Clip(ring.InAt(k - 2640).left)) << k;
    ASSERT_EQ(ring.out[k].right, Clip(ring.InAt(k - 1760).right)) << k;
  }
}

TEST(EchoDelayTest, GoldenOutputsAtDefaultSettings) {
  const std::vector<int16_t> signal = test::Pluck(196, 24000, 11025);
  Echo echo;
  echo.Apply(test::DefaultParamsOf(kEcho));
  test::ExpectMatchesGolden(
      "echo_default",
      LeftOf(RunBlocks(signal, kBlockLen, kBlockCount, [&](const StageBlock& b) { echo.Run(b); })));
  Delay delay;
  delay.Apply(test::DefaultParamsOf(kDelay));
  test::ExpectMatchesGolden(
      "delay_default", test::Interleaved(RunBlocks(signal, kBlockLen, 16,
                                                   [&](const StageBlock& b) { delay.Run(b); })));
}

}  // namespace
}  // namespace ampora
