#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "effect_test_helpers.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/echo.h"
#include "effects/effect_chain.h"
#include "effects/graphic_eq.h"
#include "effects/pitch_shift.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/signals.h"

// The effects at other rates than 44100: a bank keeps its times and frequencies.

namespace ampora {
namespace {

using test::LeftOf;
using test::ParamsOf;
using test::RunBlocks;

constexpr int32_t kBlockLen = 336;
constexpr int32_t kBlockCount = 64;

// The effect applied at rate and run over the signal in blocks, on a ring of three seconds
// at that rate (as the stream's).
template <class Effect>
std::vector<int16_t> RunAtRate(Effect& effect, const FxParamTable& fx, int32_t rate,
                               const std::vector<int16_t>& signal) {
  effect.Apply(fx, rate);
  return LeftOf(RunBlocks(signal, kBlockLen, 3 * rate / kBlockLen,
                          [&](const StageBlock& b) { effect.Run(b); }));
}

std::vector<int16_t> Constant(int16_t value, size_t frames) {
  return std::vector<int16_t>(frames, value);
}

std::vector<int16_t> Impulse(size_t frames, size_t at = 0) {
  std::vector<int16_t> signal(frames, 0);
  signal[at] = 30000;
  return signal;
}

size_t FirstNonZeroAfter(const std::vector<int16_t>& s, size_t from) {
  size_t n = from;
  while (n < s.size() && s[n] == 0) ++n;
  return n;
}

// What each rate makes of the same bank, in frames.
struct RateCase {
  int32_t rate;
  size_t echo100Ms;     // Echo at 100 ms: rate \ 1000 frames a millisecond
  size_t delay60Ms;     // Delay's left tap at 60 ms
  int vibratoShortest;  // Vibrato at depth 10: 1/300 s + 1 frame, -+10 %
  int vibratoLongest;
  double tremoloCycle;         // 10 Hz
  double limiterHalfRelease;   // 200 ms from 0 to 1, so 100 ms from 0.5
  double reverbFirstEarliest;  // 42..54 ms at spread 50
  double reverbFirstLatest;
};

constexpr RateCase kRates[] = {
    {22050, 2200, 1320, 67, 81, 2205, 2205, 918.5, 1190.5},
    {44100, 4400, 2640, 133, 163, 4410, 4410, 1837, 2381},
    {48000, 4800, 2880, 145, 177, 4800, 4800, 1999.5, 2591.6},
    {96000, 9600, 5760, 289, 353, 9600, 9600, 3998.9, 5183.1},
};

TEST(EffectRates, DelaysAndLfoCyclesKeepTheirTimes) {
  for (const RateCase& c : kRates) {
    SCOPED_TRACE(c.rate);
    Echo echo;
    const auto echoed = RunAtRate(echo, ParamsOf(kEcho, {100, 50}), c.rate, Impulse(12000));
    EXPECT_EQ(FirstNonZeroAfter(echoed, 1), c.echo100Ms);

    Delay delay;
    const auto delayed =
        RunAtRate(delay, ParamsOf(kDelay, {60, 40, 100, 0}), c.rate, Impulse(12000, 10));
    EXPECT_EQ(FirstNonZeroAfter(delayed, 0), 10 + c.delay60Ms);

    // Impulses 800 frames apart over more than one LFO cycle (5 Hz).
    constexpr size_t kSpacing = 800;
    std::vector<int16_t> impulses(static_cast<size_t>(c.rate / 4), 0);
    for (size_t n = 0; n < impulses.size(); n += kSpacing) impulses[n] = 30000;
    SweepEffect vibrato(kVibratoShape);
    test::ExpectSweptDelays(RunAtRate(vibrato, ParamsOf(kVibrato, {50, 10}), c.rate, impulses),
                            kSpacing, c.vibratoShortest, c.vibratoLongest);

    // At depth 100 the output falls to 0 once a cycle.
    Tremolo tremolo;
    const auto trembled = RunAtRate(tremolo, ParamsOf(kTremolo, {20, 100}), c.rate,
                                    Constant(20000, static_cast<size_t>(c.rate / 2)));
    std::vector<size_t> silent;
    for (size_t n = 1; n < trembled.size(); ++n) {
      if (trembled[n] == 0 && trembled[n - 1] != 0) silent.push_back(n);
    }
    ASSERT_GE(silent.size(), 3u);
    EXPECT_NEAR(static_cast<double>(silent[2] - silent[1]), c.tremoloCycle, 1.0);
  }
}

TEST(EffectRates, DynamicsReleaseAndReverbReflectionsKeepTheirTimes) {
  for (const RateCase& c : kRates) {
    SCOPED_TRACE(c.rate);
    Limiter limiter;
    std::vector<int16_t> loudThenQuiet = Constant(16000, static_cast<size_t>(c.rate / 4));
    std::fill_n(loudThenQuiet.begin(), 1000, int16_t{32767});
    const auto limited =
        RunAtRate(limiter, ParamsOf(kLimiter, {50, 200, 0, 100}), c.rate, loudThenQuiet);
    const int16_t floor = *std::min_element(limited.begin() + 1000, limited.end());
    size_t lowest = 1000;
    while (limited[lowest + 1] == floor || limited[lowest] != floor) ++lowest;
    size_t n = lowest + 1;
    while (n < limited.size() && limited[n] < 16000) ++n;
    EXPECT_NEAR(static_cast<double>(n - lowest), c.limiterHalfRelease, 5.0);

    Reverb reverb;
    reverb.UseRandomSource(std::make_unique<TwisterRandom>(7));
    // Reflections only (level 100 is 5 x, direct 0), spread 50, stereo 0.
    const auto reverberated =
        RunAtRate(reverb, ParamsOf(kReverb, {50, 50, 50, 0, 20, 0}), c.rate, Impulse(8000));
    const auto first = static_cast<double>(FirstNonZeroAfter(reverberated, 0));
    EXPECT_GE(first, std::floor(c.reverbFirstEarliest));
    EXPECT_LE(first, std::ceil(c.reverbFirstLatest));
  }
}

TEST(EffectRates, EqualiserBandsKeepTheirFrequencies) {
  for (const int32_t rate : {48000, 96000}) {
    for (const int band : {3, 8, 13}) {
      GraphicEq eq;
      eq.InitEffectTables(rate);
      FxParamTable fx{};
      fx[FxIndex(kGraphicEq, band + 1)] = 15;
      fx[FxIndex(kGraphicEq, 16)] = 100;
      const double f = GraphicEq::kBandFrequency[band];
      // A sine of f Hz at this rate.
      const std::vector<int16_t> in = test::Sine(f * 44100 / rate, 4000.0, rate);
      const std::vector<int16_t> out = RunAtRate(eq, fx, rate, in);
      const double ratio =
          test::AmplitudeAt(out, f, rate, rate / 2) / test::AmplitudeAt(in, f, rate, rate / 2);
      EXPECT_NEAR(ratio, std::pow(10.0, 15 / 20.0), 2e-3 * ratio) << rate << " band " << band;
    }
  }
}

// 16 kHz lies above half of 22050 Hz: that band cannot boost anything there and must not
// boost its alias either.
TEST(EffectRates, AnEqualiserBandAboveHalfTheRatePassesTheSignal) {
  GraphicEq eq;
  eq.InitEffectTables(22050);
  FxParamTable fx{};
  fx[FxIndex(kGraphicEq, 15)] = 15;
  fx[FxIndex(kGraphicEq, 16)] = 100;
  const std::vector<int16_t> noise = test::Noise(10000, 5000);
  EXPECT_EQ(RunAtRate(eq, fx, 22050, noise), noise);
  EXPECT_NE(RunAtRate(eq, fx, 44100, noise), noise) << "below half of 44100 Hz it works";
}

TEST(EffectRates, PitchShifterTakesBlocksUpToASecondAtTheRate) {
  const FxParamTable fx = ParamsOf(kPitchShift, {0, 0, 100, 0});
  PitchShift ps;
  EXPECT_TRUE(TrapErrors([&] { ps.Apply(fx, RingShape{96000, 10 * 96000, 96000}); }));
  EXPECT_FALSE(TrapErrors([&] { ps.Apply(fx, RingShape{96001, 10 * 96001, 96000}); }));
  EXPECT_FALSE(TrapErrors([&] { ps.Apply(fx, RingShape{48000, 10 * 48000, 44100}); }));
}

// A chain with every effect on but the pitch shifter (silent for its first grain) and the
// reverb (whose reflections are random), on rings of its own.
struct TestChain {
  TestChain() {
    AllocateRings(stream, kBlockLen, kBlockCount);
    chain.InitEffectTables();
    chain.FxParam = test::EveryEffectOnParams();
    chain.FxParam[FxIndex(kReverb, 0)] = 0;
    chain.FxParam[FxIndex(kPitchShift, 0)] = 0;
  }

  // The play ring of eight blocks of a plucked string, after the effects are applied, both
  // channels interleaved.
  std::vector<int16_t> Play() {
    for (int e = 0; e < kEffectCount; ++e) chain.ApplyEffectParams(e);
    const std::vector<int16_t> input = test::Pluck(110.0, 20000.0, 8 * kBlockLen);
    for (int32_t start = 0; start < 8 * kBlockLen; start += kBlockLen) {
      for (int32_t j = start; j < start + kBlockLen; ++j)
        stream.CaptureRing[j] = Frame{input[j], 0};
      EXPECT_EQ(chain.ProcessBlock(start, start + kBlockLen - 1), 1);
    }
    return test::Interleaved({stream.PlayRing.begin(), stream.PlayRing.begin() + 8 * kBlockLen});
  }

  // The reverb on, drawing its reflections from a fixed sequence.
  void UseSeededReverb() {
    chain.FxParam[FxIndex(kReverb, 0)] = 1;
    chain.FindUnit<Reverb>(kReverb)->UseRandomSource(std::make_unique<TwisterRandom>(5));
  }

  StreamBuffers stream;
  EffectChain chain{stream};
};

TEST(EffectChainRate, BackAtTheDefaultRateEveryEffectIsAsBefore) {
  TestChain untouched;
  const std::vector<int16_t> expected = untouched.Play();

  TestChain faster;
  faster.chain.SetSampleRate(96000);
  EXPECT_EQ(faster.chain.SampleRate(), 96000);
  EXPECT_NE(faster.Play(), expected) << "the rate reached the effects";

  TestChain back;
  back.chain.SetSampleRate(22050);
  back.chain.SetSampleRate(44100);
  EXPECT_EQ(back.Play(), expected);
}

TEST(EffectChainRate, TheSameRateChangesNothingAndAnUnsupportedOneIsRefused) {
  // Setting the rate the chain has must not re-apply the effects: the reverb would draw
  // other reflections from its sequence.
  TestChain set;
  set.UseSeededReverb();
  set.chain.SetSampleRate(44100);
  TestChain fresh;
  fresh.UseSeededReverb();
  EXPECT_EQ(set.Play(), fresh.Play());

  for (const int32_t rate : {0, 8000, 22049, 192001}) {
    EXPECT_FALSE(TrapErrors([&] { set.chain.SetSampleRate(rate); })) << rate;
    EXPECT_EQ(set.chain.SampleRate(), 44100);
  }
}

}  // namespace
}  // namespace ampora
