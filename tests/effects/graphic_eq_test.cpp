#include "effects/graphic_eq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "audio/stream_format.h"
#include "support/allocation_counter.h"
#include "support/effect_harness.h"
#include "support/golden.h"
#include "support/signals.h"
#include "util/pending_events.h"
#include "util/rounding.h"

namespace ampora {
namespace {

using test::LeftOf;
using test::RunBlocks;

FxParamTable EqParams(const std::vector<int32_t>& gains, int32_t level = 100) {
  FxParamTable fx{};
  for (int b = 0; b < GraphicEq::kBandCount; ++b) {
    fx[FxIndex(kGraphicEq, b + 1)] = b < static_cast<int>(gains.size()) ? gains[b] : 0;
  }
  fx[FxIndex(kGraphicEq, 16)] = level;
  return fx;
}

FxParamTable OneBand(int band, int32_t gain) {
  std::vector<int32_t> gains(GraphicEq::kBandCount, 0);
  gains[band] = gain;
  return EqParams(gains);
}

std::vector<int16_t> Equalise(GraphicEq& eq, const std::vector<int16_t>& signal,
                              int32_t blockLen = 309, int32_t blockCount = 8) {
  return LeftOf(RunBlocks(signal, blockLen, blockCount, [&](const StageBlock& b) { eq.Run(b); }));
}

class GraphicEqTest : public ::testing::Test {
 protected:
  void SetUp() override { eq.InitEffectTables(); }
  void TearDown() override { SetPendingEventsHook({}); }
  GraphicEq eq;
};

TEST_F(GraphicEqTest, FlatBandsPassTheInputAndTheLevelScalesAndClips) {
  std::vector<int16_t> in = test::Noise(32767, 3000);
  in[5] = 32767;
  in[6] = -32767;
  eq.Apply(EqParams({}, 100));
  EXPECT_EQ(Equalise(eq, in), in);

  eq.Apply(EqParams({}, 200));
  const std::vector<int16_t> doubled = Equalise(eq, in);
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(doubled[i], Clip(2 * in[i])) << i;
  }
}

TEST_F(GraphicEqTest, BandGainIsExactAtItsCentreAfterTheTransient) {
  for (int band : {3, 8, 13}) {
    for (int32_t gain : {15, -15, 6}) {
      GraphicEq fresh;
      fresh.InitEffectTables();
      fresh.Apply(OneBand(band, gain));
      const double f = GraphicEq::kBandFrequency[band];
      const std::vector<int16_t> in = test::Sine(f, 4000.0, kDefaultSampleRate);
      const std::vector<int16_t> out = Equalise(fresh, in);
      const double ratio = test::AmplitudeAt(out, f, kDefaultSampleRate, kDefaultSampleRate / 2) /
                           test::AmplitudeAt(in, f, kDefaultSampleRate, kDefaultSampleRate / 2);
      EXPECT_NEAR(ratio, std::pow(10.0, gain / 20.0), 2e-3 * ratio) << band << " " << gain;
    }
  }
}

TEST_F(GraphicEqTest, GainsBeyondTheDesignStayFiniteAndSaturate) {
  auto coefficientsAt = [&](int32_t gain) {
    eq.Apply(OneBand(8, gain));
    return eq.BandCoefficients(8);
  };
  for (int32_t limit : {40, -40}) {
    const GraphicEq::Coefficients c = coefficientsAt(limit);
    for (float v : {c.b0, c.b1, c.b2, c.a1, c.a2}) EXPECT_TRUE(std::isfinite(v)) << limit;
    const int32_t sign = limit > 0 ? 1 : -1;
    for (int32_t beyond : {1000, 1000000, std::numeric_limits<int32_t>::max()}) {
      const GraphicEq::Coefficients d = coefficientsAt(sign * beyond);
      EXPECT_EQ(d.b0, c.b0);
      EXPECT_EQ(d.a1, c.a1);
      EXPECT_EQ(d.a2, c.a2);
    }
  }
  // +40 dB boosts a centre sine by the design's largest factor, 6, and stays stable.
  eq.Apply(OneBand(8, 40));
  const std::vector<int16_t> in = test::Sine(1000.0, 3000.0, kDefaultSampleRate);
  const std::vector<int16_t> out = Equalise(eq, in);
  EXPECT_NEAR(test::AmplitudeAt(out, 1000.0, kDefaultSampleRate, kDefaultSampleRate / 2) /
                  test::AmplitudeAt(in, 1000.0, kDefaultSampleRate, kDefaultSampleRate / 2),
              6.0, 0.02);
}

// The skewed cascade must do exactly what a band-by-band direct form I does, for any
// block length, including one and two samples, and allocate nothing.
TEST_F(GraphicEqTest, AllBandsMatchABandByBandDirectFormBitForBit) {
  std::vector<int32_t> gains;
  for (int b = 0; b < GraphicEq::kBandCount; ++b) gains.push_back((b % 2 == 0 ? 1 : -1) * (3 + b));
  eq.Apply(EqParams(gains, 90));
  std::vector<std::array<double, 4>> memory(GraphicEq::kBandCount, {0.0, 0.0, 0.0, 0.0});
  const std::vector<int16_t> in = test::Noise(9000, 4000, 7);
  std::vector<Frame> inRing(in.size());
  std::vector<Frame> outRing(in.size());
  for (size_t i = 0; i < in.size(); ++i) inRing[i] = Frame{in[i], 0};
  int32_t start = 0;
  for (int32_t len : {1, 2, 3, 44, 309, 1323, 1, 2, 309}) {
    const uint64_t allocations = test::AllocationCount();
    eq.Run(StageBlock{inRing.data(), outRing.data(), static_cast<int32_t>(in.size()), start,
                      start + len - 1});
    ASSERT_EQ(test::AllocationCount(), allocations) << "allocated in a block of " << len;
    for (int32_t k = start; k < start + len; ++k) {
      float v = in[k];
      for (int b = 0; b < GraphicEq::kBandCount; ++b) {
        const GraphicEq::Coefficients& c = eq.BandCoefficients(b);
        auto& [x1, x2, y1, y2] = memory[b];
        const double x0 = v;
        v = static_cast<float>(double{c.b0} * x0 + double{c.b1} * x1 + double{c.b2} * x2 -
                               double{c.a1} * y1 - double{c.a2} * y2);
        x2 = x1;
        x1 = x0;
        y2 = y1;
        y1 = v;
      }
      ASSERT_EQ(outRing[k].left, ClipRound(0.9f * double{v})) << "frame " << k;
    }
    start += len;
  }
  for (int b = 0; b < GraphicEq::kBandCount; ++b) {
    EXPECT_EQ(eq.BandMemory(0, b).y1, static_cast<float>(memory[b][2])) << b;
    EXPECT_EQ(eq.BandMemory(0, b).x2, static_cast<float>(memory[b][1])) << b;
    EXPECT_EQ(eq.BandMemory(1, b).y1, 0.0f) << "slot 1 is not the chain's";
  }
}

TEST_F(GraphicEqTest, BandRestartsFromItsMemoriesAfterBeingFlat) {
  const int32_t len = 309;
  const std::vector<int16_t> in = test::Noise(8000, 6 * len, 3);
  GraphicEq gapless;
  gapless.InitEffectTables();
  gapless.Apply(OneBand(5, 9));
  eq.Apply(OneBand(5, 9));
  std::vector<int16_t> withGap;
  int block = 0;
  withGap = LeftOf(RunBlocks(in, len, 8, [&](const StageBlock& b) {
    if (block == 3) eq.Apply(OneBand(5, 0));
    if (block == 5) eq.Apply(OneBand(5, 9));
    ++block;
    eq.Run(b);
  }));
  // Blocks 3 and 4 pass flat; block 5 continues as if they had never been.
  const std::vector<int16_t> firstThree(in.begin(), in.begin() + 3 * len);
  std::vector<int16_t> skipping = firstThree;
  skipping.insert(skipping.end(), in.begin() + 5 * len, in.end());
  const std::vector<int16_t> expected = Equalise(gapless, skipping, len);
  for (int32_t i = 0; i < len; ++i) {
    ASSERT_EQ(withGap[3 * len + i], in[3 * len + i]);
    ASSERT_EQ(withGap[5 * len + i], expected[3 * len + i]) << i;
  }
}

// Events run before each active band; a full Apply() from there changes the bands not
// yet run, which bands are active, and the level, from that point of the pass on. A band
// set to 0 dB, even by the event just before its turn, is skipped and keeps its memories.
TEST_F(GraphicEqTest, ParameterChangeBetweenBandsTakesEffectFromThatPointOn) {
  const FxParamTable before = EqParams({0, 0, 6, 0, 0, 0, 0, -6, 0, 0, 0, 9, 0, 0, 0}, 100);
  const FxParamTable after = EqParams({0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0}, 150);
  const int32_t len = 309;
  const std::vector<int16_t> in = test::Noise(5000, 2 * len, 11);
  eq.Apply(before);
  int calls = 0;
  SetPendingEventsHook([&] {
    if (++calls == 2) eq.Apply(after);  // just before band 7's turn
  });
  const std::vector<int16_t> out = Equalise(eq, in, len);
  EXPECT_EQ(calls, 5);  // bands 2, 7, 13 in the first pass; 2, 13 in the second

  GraphicEq reference;
  reference.InitEffectTables();
  reference.Apply(before);
  std::vector<float> x(in.begin(), in.begin() + len);
  reference.RunEqBand(0, 2, x.data(), x.data(), len);
  reference.Apply(after);
  reference.RunEqBand(0, 13, x.data(), x.data(), len);
  for (int32_t i = 0; i < len; ++i) ASSERT_EQ(out[i], ClipRound(1.5 * x[i])) << i;
  for (int band : {7, 11}) EXPECT_EQ(eq.BandMemory(0, band).y1, 0.0f) << band << " never ran";
}

TEST_F(GraphicEqTest, TablesFreedByAnEventOrTooShortRaiseInsteadOfOverflowing) {
  eq.Apply(OneBand(9, 5));
  std::vector<Frame> in(kDefaultSampleRate + 1, Frame{1000, 0});
  std::vector<Frame> out(kDefaultSampleRate + 1, Frame{7, 7});
  const StageBlock whole{in.data(), out.data(), kDefaultSampleRate + 1, 0, kDefaultSampleRate - 1};
  EXPECT_TRUE(TrapErrors([&] { eq.Run(whole); }));

  StageBlock tooLong = whole;
  tooLong.end = kDefaultSampleRate;
  out.assign(out.size(), Frame{7, 7});
  EXPECT_FALSE(TrapErrors([&] { eq.Run(tooLong); }));
  EXPECT_EQ(out[0].left, 7);

  SetPendingEventsHook([&] { eq.FreeEffectTables(); });
  EXPECT_FALSE(TrapErrors([&] { eq.Run(whole); }));
  EXPECT_EQ(out[0].left, 7);
  SetPendingEventsHook({});
  EXPECT_FALSE(TrapErrors([&] { eq.Run(whole); })) << "freed tables";
  eq.InitEffectTables();
  EXPECT_TRUE(TrapErrors([&] { eq.Run(whole); }));
}

// An event that restarts the stream frees the rings the block points into: the stage
// must not touch them afterwards (the sanitizer sees any access) and must not raise.
TEST_F(GraphicEqTest, StreamRestartedByAnEventLeavesTheOldRingsAlone) {
  struct Restart : RingGuard {
    bool replaced = false;
    bool RingsReplaced() const override { return replaced; }
  } restart;
  eq.Apply(OneBand(2, 5));
  std::vector<Frame> in(256, Frame{300, 0});
  std::vector<Frame> out(256);
  const StageBlock block{in.data(), out.data(), 256, 64, 127, &restart};
  SetPendingEventsHook([&] {
    std::vector<Frame>().swap(in);
    std::vector<Frame>().swap(out);
    restart.replaced = true;
  });
  EXPECT_TRUE(TrapErrors([&] { eq.Run(block); }));
  EXPECT_TRUE(restart.replaced);
  EXPECT_EQ(eq.BandMemory(0, 2).x1, 0.0f) << "the band did not run";
}

TEST_F(GraphicEqTest, RandomParametersNeverBreakTheStage) {
  std::mt19937 rng(20240607);
  const int32_t maxLen = 24;
  std::vector<int16_t> input(3 * maxLen);
  std::vector<Frame> inRing(3 * maxLen);
  std::vector<Frame> outRing(3 * maxLen);
  FxParamTable fx{};
  for (int set = 0; set < 100000; ++set) {
    const bool inRange = test::DrawParameters(rng, kGraphicEq, fx);
    ASSERT_TRUE(TrapErrors([&] { eq.Apply(fx); }));
    const int32_t len = std::uniform_int_distribution<int32_t>(1, maxLen)(rng);
    test::FillRandomInput(rng, input);
    for (int32_t i = 0; i < 3 * len; ++i) inRing[i] = Frame{Clip(input[i]), 0};
    std::fill(outRing.begin(), outRing.end(), Frame{-32768, -32768});
    for (int32_t b = 0; b < 3; ++b) {
      const bool ran = TrapErrors([&] {
        eq.Run(StageBlock{inRing.data(), outRing.data(), 3 * len, b * len, b * len + len - 1});
      });
      ASSERT_TRUE(ran || !inRange) << "set " << set;
    }
    for (int32_t i = 0; i < 3 * maxLen; ++i) {
      ASSERT_EQ(outRing[i].right, -32768);
      if (i >= 3 * len) {
        ASSERT_EQ(outRing[i].left, -32768) << "wrote outside its blocks";
      }
    }
  }
}

TEST_F(GraphicEqTest, GoldenOutput) {
  eq.Apply(EqParams({4, -3, 0, 7, 0, -9, 2, 0, 12, -15, 0, 5, -6, 15, 3}, 80));
  std::vector<int16_t> in = test::Pluck(110.0, 9000.0, 6000);
  const std::vector<int16_t> noise = test::Noise(3000, 6000, 9);
  for (size_t i = 0; i < in.size(); ++i) in[i] = Clip(in[i] + noise[i]);
  test::ExpectMatchesGolden("graphic_eq", Equalise(eq, in, 309, 4));
}

}  // namespace
}  // namespace ampora
