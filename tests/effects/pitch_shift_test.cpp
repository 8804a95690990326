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
      {48, 0, {16.0f, 2, 15, 185, 12848}},     // the largest ratio taken
      {-48, 0, {0.0625f, 66, 0, 6118, 1657}},  // the smallest
  };
  for (const Case& c : cases) {
    PitchShift ps;
    ps.Apply(PitchParams(c.semitones, c.fine), kBlockLen);
    ExpectDerived(ps, c.expected,
                  "n=" + std::to_string(c.semitones) + " F=" + std::to_string(c.fine));
  }
}

// Ratios of 0, below 0, not finite or beyond four octaves, and impossible block lengths
// raise and keep the previous setting, which goes on sounding as before.
TEST(PitchShiftTest, UnusableSettingsRaiseAndKeepThePreviousOne) {
  const std::vector<int16_t> in = test::Noise(10000, 30 * kBlockLen, 4);
  PitchShift steady;
  steady.Apply(PitchParams(5, 20), kBlockLen);
  const std::vector<int16_t> expected = Shift(steady, in);

  PitchShift ps;
  ps.Apply(PitchParams(5, 20), kBlockLen);
  const Derived before = DerivedOf(ps);
  const std::vector<std::pair<int32_t, int32_t>> unusable = {
      {0, -1000}, {0, -2000}, {49, 0},   {-49, 0},     {kMax, 0},
      {kMin, 0},  {0, kMax},  {0, kMin}, {kMax, kMin}, {-1000000, 1000}};
  int block = 0;
  const std::vector<int16_t> out = LeftOf(RunBlocks(in, kBlockLen, 24, [&](const StageBlock& b) {
    if (block++ == 13) {
      for (auto [n, f] : unusable) {
        EXPECT_FALSE(TrapErrors([&] { ps.Apply(PitchParams(n, f), kBlockLen); })) << n << " " << f;
      }
      for (int32_t len : {0, -309, SampleRate + 1}) {
        EXPECT_FALSE(TrapErrors([&] { ps.Apply(PitchParams(5, 20), len); })) << len;
      }
      ExpectDerived(ps, before, "after the raised settings");
    }
    ps.Run(b);
  }));
  EXPECT_EQ(out, expected);
}

TEST(PitchShiftTest, BlockOfAnotherLengthRaises) {
  std::vector<Frame> in(4 * kBlockLen);
  std::vector<Frame> out(4 * kBlockLen, Frame{5, 5});
  const StageBlock block{in.data(), out.data(), 4 * kBlockLen, 0, kBlockLen - 1};
  PitchShift ps;
  EXPECT_FALSE(TrapErrors([&] { ps.Run(block); })) << "never applied";
  ps.Apply(PitchParams(0, 0), kBlockLen + 1);
  EXPECT_FALSE(TrapErrors([&] { ps.Run(block); }));
  EXPECT_EQ(out[0].left, 5);
  ps.Apply(PitchParams(0, 0), kBlockLen);
  EXPECT_TRUE(TrapErrors([&] { ps.Run(block); }));
}

// Grain blocks included: the buffers belong to Apply().
TEST(PitchShiftTest, RunAllocatesNothing) {
  PitchShift ps;
  ps.Apply(PitchParams(-12, -100), kBlockLen);
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
    ps.Apply(PitchParams(n, 0, 0, 100), kBlockLen);
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
    ps.Apply(PitchParams(c.semitones, 0), kBlockLen);
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
  ps.Apply(PitchParams(0, 0), kBlockLen);
  ASSERT_EQ(ps.GrainBlocks(), 6);
  const int32_t blockCount = 8;
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
// where the look-back spans the ring many times over. (With fewer blocks in the ring than
// the crossfade spans, every sample is in a crossfade: those rings only check the reads.)
TEST(PitchShiftTest, ExtremeRatiosOnAShortRingStayInsideIt) {
  const int32_t len = 64;
  for (int32_t n : {48, -48, 36}) {
    for (int32_t blockCount : {1, 3, 24}) {
      PitchShift ps;
      ps.Apply(PitchParams(n, 0), len);
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
          ASSERT_EQ(out[b * len + j], -1234) << n << " " << blockCount << " " << b;
          ++checked;
        }
      }
      EXPECT_EQ(checked > 0, blockCount * len > ps.CrossfadeLength()) << n << " " << blockCount;
    }
  }
}

TEST(PitchShiftTest, RandomParametersNeverBreakTheShifter) {
  std::mt19937 rng(77);
  const int32_t maxLen = 12;
  const int32_t maxBlocks = 6;
  std::vector<int16_t> input(maxLen * maxBlocks);
  PitchShift ps;
  for (int set = 0; set < 100000; ++set) {
    FxParamTable fx{};
    const bool inRange = test::DrawParameters(rng, kPitchShift, fx);
    const int32_t len = std::uniform_int_distribution<int32_t>(1, maxLen)(rng);
    const int32_t blocks = std::uniform_int_distribution<int32_t>(1, maxBlocks)(rng);
    const Derived before = DerivedOf(ps);
    if (!TrapErrors([&] { ps.Apply(fx, len); })) {
      ASSERT_FALSE(inRange) << "set " << set;
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
    ps.Apply(g.fx, kBlockLen);
    test::ExpectMatchesGolden(g.name, Shift(ps, in, kBlockLen, 16));
  }
}

}  // namespace
}  // namespace ampora
