#include "effects/dynamics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects/effect_test_helpers.h"
#include "support/signals.h"
#include "util/error_trap.h"

namespace ampora::test {
namespace {

std::vector<int16_t> Concat(std::initializer_list<std::vector<int16_t>> parts) {
  std::vector<int16_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

std::vector<int16_t> Constant(int16_t value, size_t frames) {
  return std::vector<int16_t>(frames, value);
}

// Threshold 50 % is 16384; the gain falls from 1 toward 16384 / 32767 by
// (1 - 0.500015) / 88.2 per frame and passes the target on the 89th frame.
TEST(LimiterTest, AttackFallsLinearlyForTwoMillisecondsThenHoversAtThreshold) {
  const auto out = Render<Limiter>(ParamsOf(kLimiter, {50, 200, 0, 100}), Constant(32767, 3000));
  const double stepInSamples = 32767.0 * (1.0 - 16384.0 / 32767.0) / 88.2;
  for (int n = 0; n < 88; ++n) {
    EXPECT_NEAR(out[n], 32767.0 - stepInSamples * (n + 1), 1.0) << "frame " << n;
    EXPECT_GT(out[n], 16384) << "frame " << n;
  }
  EXPECT_LE(out[88], 16384);
  // After the target the gain only rises by 1/8820 per frame before it is pulled back.
  for (size_t n = 88; n < out.size(); ++n) EXPECT_LE(out[n], 16384 + 4) << "frame " << n;
  for (size_t n = 300; n < out.size(); ++n) EXPECT_GE(out[n], 16384 - 4) << "frame " << n;
}

TEST(LimiterTest, SilenceSkipsRetargetingButStillMovesTheGain) {
  const auto fx = ParamsOf(kLimiter, {50, 200, 0, 100});
  const auto probe = Constant(10000, 200);
  const auto throughSilence = Render<Limiter>(fx, Concat({{32767}, Constant(0, 87), probe}));
  const auto throughQuiet = Render<Limiter>(fx, Concat({{32767}, Constant(1, 87), probe}));
  for (size_t n = 88; n < throughSilence.size(); ++n) {
    ASSERT_EQ(throughSilence[n], throughQuiet[n]) << "frame " << n;
  }
  // Frame 89 is the end of the attack: the gain is just below 0.5.
  EXPECT_NEAR(throughSilence[88], 4955, 2);
}

TEST(LimiterTest, Release200MsTakes4410FramesFromHalfToUnity) {
  const auto out = Render<Limiter>(ParamsOf(kLimiter, {50, 200, 0, 100}),
                                   Concat({Constant(32767, 1000), Constant(16000, 6000)}));
  // A pending attack ends first; from its lowest point on the gain only rises.
  const int16_t floor = *std::min_element(out.begin() + 1000, out.end());
  size_t lowest = 1000;
  while (out[lowest + 1] == floor || out[lowest] != floor) ++lowest;
  EXPECT_LT(lowest, 1000u + 89u);
  EXPECT_NEAR(out[lowest], 8000, 2);
  size_t n = lowest + 1;
  for (; n < out.size() && out[n] < 16000; ++n) ASSERT_GE(out[n], out[n - 1]) << "frame " << n;
  EXPECT_NEAR(static_cast<double>(n - lowest), 4410.0, 2.0);
  for (; n < out.size(); ++n) ASSERT_EQ(out[n], 16000) << "frame " << n;
}

// Hovering at the threshold, the limiter may aim at a target so close to its gain that
// the step is too small to move a 32-bit float: the attack must end all the same, or the
// gain would stay down for good after the loud part.
TEST(LimiterTest, AnAttackTooSmallToMoveTheGainEnds) {
  const auto out = Render<Limiter>(ParamsOf(kLimiter, {30, 100, 0, 100}),
                                   Concat({Constant(32767, 44100), Constant(1000, 44100)}));
  EXPECT_EQ(out.back(), 1000);
}

// The same for the compressor's travel toward its target: it must get there and go on
// to the resting gain.
TEST(CompressorTest, ATravelTooSmallToMoveTheGainEnds) {
  std::vector<int16_t> loud(44100);
  for (size_t n = 0; n < loud.size(); ++n) loud[n] = n % 2 == 1 ? 32767 : -20000;
  const auto out = Render<Compressor>(ParamsOf(kCompressor, {70, 155, 100, 50, 100}),
                                      Concat({loud, Constant(1000, 44100)}));
  EXPECT_EQ(out.back(), 500);
}

TEST(LimiterTest, FullMixRestoresTheInputAndLevelScalesIt) {
  const auto loud = Noise(32767, 2000);
  EXPECT_EQ(Render<Limiter>(ParamsOf(kLimiter, {10, 50, 100, 100}), loud), loud);
  const auto tripled = Render<Limiter>(ParamsOf(kLimiter, {10, 50, 100, 300}), loud);
  for (size_t n = 0; n < loud.size(); ++n) {
    ASSERT_EQ(tripled[n], std::clamp(3 * loud[n], -32767, 32767)) << "frame " << n;
  }
}

TEST(LimiterTest, ApplyResetsGainAndTargetButKeepsTheAttackStep) {
  const auto fx = ParamsOf(kLimiter, {50, 200, 0, 100});
  Limiter limiter;
  limiter.Apply(fx);
  RunEffect(limiter, Concat({{32767}, Constant(1, 9)}));  // mid-attack
  limiter.Apply(fx);
  // The kept step lowers the fresh gain of 1 once; that reaches the target of 1 and ends
  // the attack, so the gain then rises back by the release increment.
  const auto out = RunEffect(limiter, Constant(10000, 3));
  EXPECT_EQ(out[0], 9943);  // 10000 x (1 - 0.4999847 / 88.2)
  EXPECT_EQ(out[1], 9944);
  EXPECT_EQ(out[2], 9946);
}

TEST(LimiterTest, ZeroReleaseRaisesAndLeavesTheRestOfTheStateAsItWas) {
  const auto fx = ParamsOf(kLimiter, {30, 100, 20, 150});
  const auto signal = Pluck(110.0, 30000.0, 3000);
  Limiter failed;
  failed.Apply(fx);
  auto zeroRelease = ParamsOf(kLimiter, {30, 0, 90, 50});
  try {
    failed.Apply(zeroRelease);
    FAIL() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDivisionByZero);
  }
  EXPECT_EQ(RunEffect(failed, signal), Render<Limiter>(fx, signal));
}

// A negative threshold (a hand-edited bank) drives the gain far below -1 until a product
// overflows mid-attack. Back at the defaults the next passes run, also on a quiet input
// that never retargets the attack: the error does not outlive its pass.
TEST(LimiterTest, AnOverflowDoesNotOutliveItsPass) {
  Limiter limiter;
  limiter.Apply(ParamsOf(kLimiter, {-1000000, 200, 0, 100}));
  EXPECT_FALSE(TrapErrors([&] { RunEffect(limiter, Concat({{1}, Constant(32767, 9)})); }));
  limiter.Apply(DefaultParams<Limiter>());
  EXPECT_TRUE(TrapErrors([&] { RunEffect(limiter, Constant(1000, 100)); }));
}

// Threshold 40 % is 13107, so 26214 is twice the threshold and aims the gain at 0.5.
TEST(CompressorTest, LoudSampleSetsTargetThenGainTravelsInQuietSamples) {
  const auto out = Render<Compressor>(ParamsOf(kCompressor, {40, 200, 100, 100, 100}),
                                      Concat({{26214}, Constant(10000, 200)}));
  EXPECT_EQ(out[0], 26214);  // the gain does not move in a loud frame
  for (int n = 1; n < 89; ++n) {
    EXPECT_NEAR(out[n], 10000.0 * (1.0 - 0.5 / 88.2 * n), 1.0) << "frame " << n;
  }
  // The frame that reaches the target lands on it exactly and does not also release.
  EXPECT_EQ(out[89], 5000);
  EXPECT_EQ(out[90], 5001);  // then back toward 1 by 1/8820 per frame
}

TEST(CompressorTest, OnlyATargetFurtherFromRestReplacesThePendingOne) {
  const auto fx = ParamsOf(kCompressor, {40, 200, 100, 100, 100});
  const auto quiet = Constant(10000, 150);
  // A softer peak (aim 0.655) neither retargets nor moves the gain.
  const auto softer = Render<Compressor>(fx, Concat({{26214}, {20000}, quiet}));
  const auto plain = Render<Compressor>(fx, Concat({{26214}, quiet}));
  EXPECT_EQ(softer[1], 20000);
  EXPECT_EQ(std::vector<int16_t>(softer.begin() + 2, softer.end()),
            std::vector<int16_t>(plain.begin() + 1, plain.end()));
  // A louder peak during the descent (aim 0.40001) retargets with a new step.
  const auto louder =
      Render<Compressor>(fx, Concat({{26214}, Constant(10000, 10), {32767}, quiet}));
  EXPECT_GT(louder[99], 4000);
  EXPECT_EQ(louder[100], 4000);
}

TEST(CompressorTest, ReleaseStopsExactlyAtTheRestingGainFromEitherSide) {
  const auto quiet = Constant(10000, 300);
  const auto fromAbove = Render<Compressor>(ParamsOf(kCompressor, {50, 10, 100, 80, 100}), quiet);
  const auto fromBelow = Render<Compressor>(ParamsOf(kCompressor, {50, 10, 100, 120, 100}), quiet);
  for (int n = 0; n < 88; ++n) {
    EXPECT_NEAR(fromAbove[n], 10000.0 - 10000.0 / 441.0 * (n + 1), 1.0) << "frame " << n;
    EXPECT_NEAR(fromBelow[n], 10000.0 + 10000.0 / 441.0 * (n + 1), 1.0) << "frame " << n;
  }
  for (size_t n = 89; n < quiet.size(); ++n) {
    ASSERT_EQ(fromAbove[n], 8000) << "frame " << n;
    ASSERT_EQ(fromBelow[n], 12000) << "frame " << n;
  }
}

TEST(CompressorTest, ApplyResetsGainAndTargetButKeepsTheStep) {
  const auto fx = ParamsOf(kCompressor, {40, 200, 100, 80, 100});
  Compressor compressor;
  compressor.Apply(fx);
  RunEffect(compressor, Concat({{26214}, Constant(10000, 3)}));  // aiming at 0.5
  compressor.Apply(fx);
  // From 1 toward the resting gain 0.8 with the kept step 0.5 / 88.2, landing on 0.8.
  const auto out = RunEffect(compressor, Constant(10000, 60));
  const double step = 0.5 / 88.2;
  for (int n = 0; n < 35; ++n) EXPECT_NEAR(out[n], 10000.0 * (1.0 - step * (n + 1)), 1.0);
  for (int n = 35; n < 60; ++n) EXPECT_EQ(out[n], 8000) << "frame " << n;
}

TEST(EnhancerTest, DirectOnlyScalesAndDifferenceOnlyTriplesTheFirstDifference) {
  const auto signal = Noise(30000, 1000);
  EXPECT_EQ(Render<Enhancer>(ParamsOf(kEnhancer, {0, 100}), signal, 44), signal);
  const auto doubled = Render<Enhancer>(ParamsOf(kEnhancer, {0, 200}), signal, 44);
  const auto difference = Render<Enhancer>(ParamsOf(kEnhancer, {100, 0}), signal, 44);
  int previous = 0;
  for (size_t n = 0; n < signal.size(); ++n) {
    ASSERT_EQ(doubled[n], std::clamp(2 * signal[n], -32767, 32767)) << "frame " << n;
    ASSERT_EQ(difference[n], std::clamp(3 * (signal[n] - previous), -32767, 32767))
        << "frame " << n;
    previous = signal[n];
  }
}

TEST(EnhancerTest, PreviousSampleSurvivesApply) {
  Enhancer enhancer;
  enhancer.Apply(ParamsOf(kEnhancer, {0, 100}));
  RunEffect(enhancer, {100, 200, 1234});
  enhancer.Apply(ParamsOf(kEnhancer, {100, 0}));
  EXPECT_EQ(RunEffect(enhancer, {1000})[0], 3 * (1000 - 1234));
}

}  // namespace
}  // namespace ampora::test
