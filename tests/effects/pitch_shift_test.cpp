#include "effects/pitch_shift.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "audio/stream_format.h"
#include "effects/effect_test_helpers.h"
#include "support/allocation_counter.h"
#include "support/effect_harness.h"
#include "support/golden.h"
#include "support/signals.h"
#include "util/rounding.h"

namespace ampora {
namespace {

using test::LeftOf;
using test::RunBlocks;

constexpr int32_t kBlockLen = 309;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

FxParamTable PitchParams(int32_t semitones, int32_t fine, int32_t wet = 100, int32_t dry = 0) {
  return test::ParamsOf(kPitchShift, {semitones, fine, wet, dry});
}

// Rings of blockCount blocks; the stream's default is 428 blocks of 309 frames.
RingShape RingOf(int32_t blockCount, int32_t blockLen = kBlockLen) {
  return {blockLen, blockLen * blockCount};
}
constexpr int32_t kStreamBlocks = 428;

std::vector<int16_t> Shift(PitchShift& ps, const std::vector<int16_t>& signal,
                           int32_t blockLen = kBlockLen, int32_t blockCount = 24) {
  return LeftOf(RunBlocks(signal, blockLen, blockCount, [&](const StageBlock& b) { ps.Run(b); }));
}

struct Derived {
  float ratio;
  int32_t grainBlocks, averaging, crossfade, lookBack;
};

Derived DerivedOf(const PitchShift& ps) {
  return {ps.Ratio(), ps.GrainBlocks(), ps.AveragingCount(), ps.CrossfadeLength(), ps.LookBack()};
}

void ExpectDerived(const PitchShift& ps, const Derived& d, const std::string& what) {
  EXPECT_EQ(ps.Ratio(), d.ratio) << what;
  EXPECT_EQ(ps.GrainBlocks(), d.grainBlocks) << what;
  EXPECT_EQ(ps.AveragingCount(), d.averaging) << what;
  EXPECT_EQ(ps.CrossfadeLength(), d.crossfade) << what;
  EXPECT_EQ(ps.LookBack(), d.lookBack) << what;
}

TEST(PitchShiftTest, RatioGrainCrossfadeAndLookBack) {
  struct Case {
    int32_t semitones, fine;
    Derived expected;
  };
  const float belowOctave = static_cast<float>(0.5 * double{1.8877f});  // semitone 11, octave 0.5
  const std::vector<Case> cases = {
      {0, 0, {1.0f, 6, 0, 556, 2410}},         {12, 0, {2.0f, 4, 1, 371, 3214}},
      {-12, 0, {0.5f, 10, 0, 927, 2008}},  // 2008.5 rounds to even
      {0, 100, {1.1f, 6, 0, 556, 2651}},   // round(5.636) = 6
      {-1, 0, {belowOctave, 6, 0, 556, 2275}}, {-13, 0, {belowOctave / 2, 10, 0, 927, 1896}},
      {24, 0, {4.0f, 3, 3, 278, 4820}},        {-24, 0, {0.25f, 18, 0, 1669, 1808}},
      {48, 0, {16.0f, 2, 15, 185, 12848}},     {-48, 0, {0.0625f, 66, 0, 6118, 1657}},
      {60, 0, {32.0f, 2, 31, 185, 25696}},  // five octaves, beyond the editor's reach
  };
  for (const Case& c : cases) {
    PitchShift ps;
    ps.Apply(PitchParams(c.semitones, c.fine), RingOf(kStreamBlocks));
    ExpectDerived(ps, c.expected,
                  "n=" + std::to_string(c.semitones) + " F=" + std::to_string(c.fine));
  }
}

// The largest ratio is the one whose look-back still lies within the ring, the smallest
// the one whose grain is no longer than the ring: five octaves up (look-back 25696) and
// down (grain of 130 blocks) on rings just long enough and one block too short, and the
// limits on the stream's default ring.
TEST(PitchShiftTest, TheRingBoundsTheRatio) {
  struct Case {
    int32_t semitones, fine, blockCount;
    bool taken;
  };
  const std::vector<Case> cases = {
      {60, 0, 84, true},
      {60, 0, 83, false},  // 84 x 309 = 25956, 83 x 309 = 25647
      {-60, 0, 130, true},
      {-60, 0, 129, false},                       // G = round(128 + 2)
      {88, 0, kStreamBlocks, true},               // r = 161.3, look-back 129500
      {89, 0, kStreamBlocks, false},              // r = 170.9, look-back 137194
      {-72, 0, kStreamBlocks, true},              // G = 258
      {-84, 0, kStreamBlocks, false},             // G = 514
      {0, -1000, kStreamBlocks, false},           // r = 0
      {0, -2000, kStreamBlocks, false},           // r < 0
      {2147483640, -1000, kStreamBlocks, false},  // 2^178956970 x 0: not a number
  };
  for (const Case& c : cases) {
    PitchShift ps;
    EXPECT_EQ(TrapErrors([&] { ps.Apply(PitchParams(c.semitones, c.fine), RingOf(c.blockCount)); }),
              c.taken)
        << c.semitones << " " << c.fine << " " << c.blockCount;
  }
}

// Ratios that no ring can take and impossible shapes raise and keep the previous setting,
// which goes on sounding as before.
TEST(PitchShiftTest, UnusableSettingsRaiseAndKeepThePreviousOne) {
  const std::vector<int16_t> in = test::Noise(10000, 30 * kBlockLen, 4);
  PitchShift steady;
  steady.Apply(PitchParams(5, 20), RingOf(24));
  const std::vector<int16_t> expected = Shift(steady, in);

  PitchShift ps;
  ps.Apply(PitchParams(5, 20), RingOf(24));
  const Derived before = DerivedOf(ps);
  const std::vector<std::pair<int32_t, int32_t>> unusable = {
      {0, -1000}, {0, -2000}, {200, 0},  {-200, 0},    {kMax, 0},
      {kMin, 0},  {0, kMax},  {0, kMin}, {kMax, kMin}, {-1000000, 1000}};
  int block = 0;
  const std::vector<int16_t> out = LeftOf(RunBlocks(in, kBlockLen, 24, [&](const StageBlock& b) {
    if (block++ == 13) {
      for (auto [n, f] : unusable) {
        EXPECT_FALSE(TrapErrors([&] { ps.Apply(PitchParams(n, f), RingOf(24)); })) << n << " " << f;
      }
      for (RingShape shape : {RingShape{0, 0}, RingShape{-309, 7416}, RingShape{309, 308},
                              RingShape{kDefaultSampleRate + 1, 3 * kDefaultSampleRate + 3}}) {
        EXPECT_FALSE(TrapErrors([&] { ps.Apply(PitchParams(5, 20), shape); })) << shape.blockLen;
      }
      ExpectDerived(ps, before, "after the raised settings");
    }
    ps.Run(b);
  }));
  EXPECT_EQ(out, expected);
}

TEST(PitchShiftTest, BlockOrRingOfAnotherLengthRaises) {
  std::vector<Frame> in(8 * kBlockLen);
  std::vector<Frame> out(8 * kBlockLen, Frame{5, 5});
  const StageBlock block{in.data(), out.data(), 8 * kBlockLen, 0, kBlockLen - 1};
  PitchShift ps;
  EXPECT_FALSE(TrapErrors([&] { ps.Run(block); })) << "never applied";
  ps.Apply(PitchParams(0, 0), {kBlockLen + 1, 8 * kBlockLen});
  EXPECT_FALSE(TrapErrors([&] { ps.Run(block); }));
  ps.Apply(PitchParams(0, 0), RingOf(9));
  EXPECT_FALSE(TrapErrors([&] { ps.Run(block); }));
  EXPECT_EQ(out[0].left, 5);
  ps.Apply(PitchParams(0, 0), RingOf(8));
  EXPECT_TRUE(TrapErrors([&] { ps.Run(block); }));
}

// Grain blocks included: the buffers belong to Apply().
TEST(PitchShiftTest, RunAllocatesNothing) {
  PitchShift ps;
  ps.Apply(PitchParams(-12, -100), RingOf(24));
  std::vector<int16_t> in = test::Noise(9000, 24 * kBlockLen, 2);
  uint64_t allocations = 0;
  RunBlocks(in, kBlockLen, 24, [&](const StageBlock& b) {
    const uint64_t before = test::AllocationCount();
    ps.Run(b);
    allocations += test::AllocationCount() - before;
  });
  EXPECT_EQ(allocations, 0u);
}

TEST(PitchShiftTest, DirectOnlyPassesTheInputUnchanged) {
  const std::vector<int16_t> in = test::Noise(32767, 20 * kBlockLen, 8);
  for (int32_t n : {0, 7, -12, 12}) {
    PitchShift ps;
    ps.Apply(PitchParams(n, 0, 0, 100), RingOf(24));
    EXPECT_EQ(Shift(ps, in), in) << n;
  }
}

// Expected shifted sample m of a grain starting at frame s, outside the crossfade, for
// the exact ratios 1, 2 and 1/2 (the look-back taken from the effect).
struct ExactReading {
  int32_t semitones;
  std::function<int32_t(const std::vector<int16_t>&, int64_t first, int32_t m)> reading;
};

TEST(PitchShiftTest, ShiftedSignalReadsTheInputAtTheRatio) {
  const std::vector<ExactReading> cases = {
      // r = 1: the input delayed by exactly the look-back.
      {0, [](const std::vector<int16_t>& in, int64_t first, int32_t m) { return in[first + m]; }},
      // r = 2: the interpolated sample averaged with the one skipped.
      {12, [](const std::vector<int16_t>& in, int64_t first,
              int32_t m) { return RoundInt32((in[first + 2 * m] + in[first + 2 * m + 1]) / 2.0); }},
      // r = 1/2: every other sample halfway between two inputs, ties to even.
      {-12,
       [](const std::vector<int16_t>& in, int64_t first, int32_t m) {
         const int64_t p0 = first + m / 2;
         return m % 2 == 0 ? in[p0] : RoundInt32(in[p0 + 1] * 0.5 + in[p0] * 0.5);
       }},
  };
  for (const ExactReading& c : cases) {
    PitchShift ps;
    ps.Apply(PitchParams(c.semitones, 0), RingOf(60));
    const int32_t grainLen = ps.GrainBlocks() * kBlockLen;
    // 60 blocks is a multiple of every G here, so grains start at multiples of grainLen.
    const std::vector<int16_t> in = test::Noise(20000, 3 * 60 * kBlockLen, 12);
    const std::vector<int16_t> out = Shift(ps, in, kBlockLen, 60);
    int checked = 0;
    for (int64_t s = grainLen; s + grainLen <= static_cast<int64_t>(in.size()); s += grainLen) {
      for (int32_t m = ps.CrossfadeLength(); m < grainLen; ++m) {
        const int64_t first = s - ps.LookBack();
        if (first < 0) continue;
        ASSERT_EQ(out[s + m], Clip(c.reading(in, first, m)))
            << "n=" << c.semitones << " s=" << s << " m=" << m;
        ++checked;
      }
    }
    EXPECT_GT(checked, 30000) << c.semitones;
  }
}

// With 8 blocks in the ring and G = 6, grains start at ring blocks 0 and 6: the grain of
// block 6 serves blocks 6 and 7 only, and each start crossfades over 556 frames.
TEST(PitchShiftTest, GrainCycleRestartsAtTheRingsFirstBlock) {
  PitchShift ps;
  const int32_t blockCount = 8;
  ps.Apply(PitchParams(0, 0), RingOf(blockCount));
  ASSERT_EQ(ps.GrainBlocks(), 6);
  const std::vector<int16_t> in = test::Noise(20000, 4 * blockCount * kBlockLen, 21);
  const std::vector<int16_t> out = Shift(ps, in, kBlockLen, blockCount);
  for (int32_t b = blockCount; b < 4 * blockCount; ++b) {
    bool delayed = true;
    for (int32_t j = b * kBlockLen; j < (b + 1) * kBlockLen; ++j) {
      delayed = delayed && out[j] == (j >= ps.LookBack() ? in[j - ps.LookBack()] : 0);
    }
    const int32_t ringBlock = b % blockCount;
    EXPECT_EQ(delayed, ringBlock >= 2 && ringBlock <= 5) << "block " << b;
  }
}

// A constant input gives the same constant outside the crossfades for any ratio, also
// for those whose look-back or grain nearly fills the ring.
TEST(PitchShiftTest, ExtremeRatiosReadOnlyTheRing) {
  const int32_t len = 64;
  const int32_t blockCount = kStreamBlocks;
  for (int32_t n : {84, 60, 48, -48, -72}) {
    PitchShift ps;
    ps.Apply(PitchParams(n, 0), RingOf(blockCount, len));
    const int32_t grainBlocks = ps.GrainBlocks();
    const int32_t blocks = 3 * grainBlocks + blockCount;
    const std::vector<int16_t> in(static_cast<size_t>(blocks * len), -1234);
    const std::vector<int16_t> out = Shift(ps, in, len, blockCount);
    int checked = 0;
    for (int32_t b = 0; b < blocks; ++b) {
      const int32_t cycle = (b % blockCount) % grainBlocks;
      if (b - cycle < blockCount) continue;  // grain read before the ring was full
      for (int32_t j = 0; j < len; ++j) {
        if (cycle * len + j < ps.CrossfadeLength()) continue;
        ASSERT_EQ(out[b * len + j], -1234) << n << " " << b;
        ++checked;
      }
    }
    EXPECT_GT(checked, 0) << n;
  }
}

TEST(PitchShiftTest, RandomParametersNeverBreakTheShifter) {
  std::mt19937 rng(77);
  const int32_t maxLen = 12;
  const int32_t maxBlocks = 16;
  // Every setting of the editor fits a ring of 12 blocks: G <= 11, look-back <= 11.5 blocks.
  const int32_t editorBlocks = 12;
  std::vector<int16_t> input(maxLen * maxBlocks);
  PitchShift ps;
  for (int set = 0; set < 100000; ++set) {
    FxParamTable fx{};
    const bool inRange = test::DrawParameters(rng, kPitchShift, fx);
    const int32_t len = std::uniform_int_distribution<int32_t>(1, maxLen)(rng);
    const int32_t blocks = std::uniform_int_distribution<int32_t>(1, maxBlocks)(rng);
    const Derived before = DerivedOf(ps);
    if (!TrapErrors([&] { ps.Apply(fx, RingOf(blocks, len)); })) {
      ASSERT_TRUE(!inRange || blocks < editorBlocks) << "set " << set;
      ExpectDerived(ps, before, "set " + std::to_string(set));
      continue;
    }
    const int32_t ringLen = len * blocks;
    // Exactly the ring is allocated: a read outside it is an error the sanitizer sees.
    std::vector<Frame> inRing(ringLen);
    std::vector<Frame> outRing(ringLen + 1, Frame{-32768, -32768});
    test::FillRandomInput(rng, input);
    for (int32_t i = 0; i < ringLen; ++i) inRing[i] = Frame{Clip(input[i]), 0};
    for (int32_t b = 0; b < 3; ++b) {
      const int32_t start = (b % blocks) * len;
      const bool ran = TrapErrors([&] {
        ps.Run(StageBlock{inRing.data(), outRing.data(), ringLen, start, start + len - 1});
      });
      ASSERT_TRUE(ran || !inRange) << "set " << set;
    }
    for (const Frame& f : outRing) ASSERT_EQ(f.right, -32768);
    ASSERT_EQ(outRing[ringLen].left, -32768) << "wrote past the ring";
  }
}

TEST(PitchShiftTest, GoldenOutputs) {
  std::vector<int16_t> in = test::Pluck(196.0, 12000.0, 24 * kBlockLen);
  const std::vector<int16_t> noise = test::Noise(1500, 24 * kBlockLen, 3);
  for (size_t i = 0; i < in.size(); ++i) in[i] = Clip(in[i] + noise[i]);
  struct Golden {
    const char* name;
    FxParamTable fx;
  };
  for (const Golden& g : {Golden{"pitch_shift_fifth_up", PitchParams(7, 30, 100, 50)},
                          Golden{"pitch_shift_octave_up", PitchParams(12, 40, 120, 0)},
                          Golden{"pitch_shift_down", PitchParams(-5, 0, 80, 100)}}) {
    PitchShift ps;
    ps.Apply(g.fx, RingOf(16));
    test::ExpectMatchesGolden(g.name, Shift(ps, in, kBlockLen, 16));
  }
}

}  // namespace
}  // namespace ampora
