#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "effects/effect_test_helpers.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/effect_harness.h"
#include "support/golden.h"
#include "support/signals.h"

namespace ampora {
namespace {

using test::ExpectSweptDelays;
using test::LeftOf;
using test::ParamsOf;
using test::RunBlocks;

constexpr int32_t kBlockLen = 309;

template <class Effect>
std::vector<int16_t> RunLeft(Effect& effect, const std::vector<int16_t>& signal,
                             int32_t blockCount = 8) {
  return LeftOf(RunBlocks(signal, kBlockLen, blockCount,
                          [&](const StageBlock& block) { effect.Run(block); }));
}

TEST(TremoloTest, FollowsItsSineAtTheGivenRateAndDepthAndHalves) {
  struct Case {
    int32_t rate, depth;
    int16_t level;
  };
  for (const Case c : {Case{1, 100, 20000}, Case{40, 100, -20001}, Case{20, 30, 12345}}) {
    Tremolo tremolo;
    tremolo.Apply(ParamsOf(kTremolo, {c.rate, c.depth}));
    const std::vector<int16_t> out =
        RunLeft(tremolo, std::vector<int16_t>(88200, c.level));  // a cycle at 0.5 Hz
    const double hz = c.rate / 2.0;
    for (size_t n = 0; n < out.size(); ++n) {
      const double s = std::sin(2 * std::numbers::pi * hz * static_cast<double>(n) / 44100);
      const double expected = std::trunc(std::nearbyint(c.level * (1 + c.depth / 100.0 * s)) / 2);
      ASSERT_NEAR(out[n], expected, 1.0) << "rate " << c.rate << " frame " << n;
    }
    // At full depth the output is (1 + sin) / 2 times the input: from silence to the input.
    if (c.depth == 100) {
      const auto [lo, hi] = std::minmax_element(out.begin(), out.end());
      EXPECT_EQ(std::min<int>(*lo, *hi), std::min<int>(0, c.level));
      EXPECT_EQ(std::max<int>(*lo, *hi), std::max<int>(0, c.level));
    }
    // The phase starts at 0, so the first frame is the input halved toward zero.
    EXPECT_EQ(out[0], c.level / 2);
  }
}

// Runs blocks 0..2, pauses (effect off, the chain not calling it, an Apply with other
// settings and back in between) for exactly one ring of blocks, and runs again: with the
// ring content of the pause arranged to match, the output must continue as if there had
// been no pause.
template <class Effect>
void ExpectResumesWherePaused(Effect paused, Effect continuous, const FxParamTable& fx,
                              const FxParamTable& other) {
  constexpr int32_t kBlockCount = 8;
  const std::vector<int16_t> signal = test::Pluck(330, 20000, 6 * kBlockLen);
  auto blocks = [&](int from, int to) {
    return std::vector<int16_t>(signal.begin() + from * kBlockLen, signal.begin() + to * kBlockLen);
  };
  // Blocks 3..7 of the pause leave ring positions the effect does not read.
  std::vector<int16_t> withPause = blocks(0, 3);
  withPause.resize(8 * kBlockLen, 9999);
  const std::vector<int16_t> rest = blocks(0, 6);
  withPause.insert(withPause.end(), rest.begin(), rest.end());

  paused.Apply(fx);
  continuous.Apply(fx);
  int block = 0;
  const std::vector<int16_t> out =
      LeftOf(RunBlocks(withPause, kBlockLen, kBlockCount, [&](const StageBlock& stage) {
        const int n = block++;
        if (n == 5) paused.Apply(other);
        if (n == 6) paused.Apply(fx);
        if (n < 3 || n >= 11) paused.Run(stage);
      }));
  const std::vector<int16_t> expected = RunLeft(continuous, signal, kBlockCount);
  for (int32_t i = 0; i < 3 * kBlockLen; ++i) {
    ASSERT_EQ(out[11 * kBlockLen + i], expected[3 * kBlockLen + i]) << "frame " << i;
  }
}

TEST(ModulationTest, PhasesAndReadPositionsPersistWhileOffAndThroughApply) {
  ExpectResumesWherePaused(Tremolo{}, Tremolo{}, ParamsOf(kTremolo, {20, 30}),
                           ParamsOf(kTremolo, {3, 90}));
  for (const SweepShape* shape : {&kFlangerShape, &kPhaserShape, &kChorusShape, &kVibratoShape}) {
    SCOPED_TRACE(shape->effect);
    ExpectResumesWherePaused(SweepEffect(*shape), SweepEffect(*shape),
                             ParamsOf(shape->effect, {50, 100, 100}),
                             ParamsOf(shape->effect, {7, 10, 30}));
  }
}

TEST(SweepEffectTest, VibratoDelaysBy133To163Frames) {
  // Impulses 400 frames apart over more than one LFO cycle (5 Hz, 8820 frames).
  constexpr int32_t kSpacing = 400;
  std::vector<int16_t> signal(12000, 0);
  for (size_t n = 0; n < signal.size(); n += kSpacing) signal[n] = 30000;
  SweepEffect vibrato(kVibratoShape);
  vibrato.Apply(ParamsOf(kVibrato, {50, 10}));
  ExpectSweptDelays(RunLeft(vibrato, signal, 64), kSpacing, 133, 163);
}

TEST(SweepEffectTest, FirstFrameAfterAPauseAveragesEverythingInBetween) {
  // Depth 0 pins the read position at exactly 148 frames back, so the average is exact.
  // On a ring of 8 blocks, a pause of 4 blocks resumes further on in the ring, pauses of
  // 7 and 15 blocks resume before the old position: the span crosses the ring's end.
  constexpr int32_t kBlockCount = 8;
  constexpr int32_t kRingLen = kBlockCount * kBlockLen;
  for (int pauseBlocks : {4, 7, 15}) {
    SweepEffect vibrato(kVibratoShape);
    vibrato.Apply(ParamsOf(kVibrato, {50, 0}));
    const int resumeBlock = 2 + pauseBlocks;
    std::vector<int16_t> signal(static_cast<size_t>((resumeBlock + 2) * kBlockLen));
    for (size_t n = 0; n < signal.size(); ++n) signal[n] = static_cast<int16_t>(n * 7 % 1000);
    int block = 0;
    const std::vector<int16_t> out =
        LeftOf(RunBlocks(signal, kBlockLen, kBlockCount, [&](const StageBlock& stage) {
          const int n = block++;
          if (n < 2 || n >= resumeBlock) vibrato.Run(stage);
        }));

    // What the ring holds when the effect resumes: the latest frame at each position.
    std::vector<int16_t> ring(kRingLen);
    for (int32_t n = 0; n < (resumeBlock + 1) * kBlockLen; ++n) ring[n % kRingLen] = signal[n];
    // The average runs from the last position read (weight 1) up to the new one (weight 0).
    const int32_t oldPos = 2 * kBlockLen - 1 - 148;
    int32_t newPos = resumeBlock % kBlockCount * kBlockLen - 148;
    if (newPos < oldPos) newPos += kRingLen;
    double sum = 0;
    for (int32_t k = oldPos; k < newPos; ++k) sum += ring[k % kRingLen];
    const size_t resume = static_cast<size_t>(resumeBlock) * kBlockLen;
    EXPECT_EQ(out[resume], static_cast<int16_t>(std::nearbyint(sum / (newPos - oldPos))))
        << "pause of " << pauseBlocks << " blocks";
    // Then it reads one frame per frame again: at depth 0 the input 149 frames earlier.
    EXPECT_EQ(out[resume + 1], signal[resume + 1 - 149]);
  }
}

TEST(ModulationTest, GoldenOutputsAtDefaultSettings) {
  const std::vector<int16_t> signal = test::Pluck(196, 24000, 11025);
  Tremolo tremolo;
  tremolo.Apply(test::DefaultParamsOf(kTremolo));
  test::ExpectMatchesGolden("tremolo_default", RunLeft(tremolo, signal));
  struct Member {
    const SweepShape* shape;
    const char* name;
  };
  for (const Member& m :
       {Member{&kFlangerShape, "flanger_default"}, Member{&kPhaserShape, "phaser_default"},
        Member{&kChorusShape, "chorus_default"}, Member{&kVibratoShape, "vibrato_default"}}) {
    SweepEffect effect(*m.shape);
    effect.Apply(test::DefaultParamsOf(m.shape->effect));
    test::ExpectMatchesGolden(m.name, RunLeft(effect, signal));
  }
}

}  // namespace
}  // namespace ampora
