#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/effect_test_helpers.h"
#include "effects/one_pole.h"
#include "effects/reverb.h"
#include "support/effect_harness.h"
#include "support/signals.h"

// The per-sample filters of the drives, the reverb and the enhancer at other rates than
// 44100: their corners and time constants stay where they are, and at 44100 Hz their
// weights are exactly those they always had.

namespace ampora {
namespace {

using test::ParamsOf;
using test::RunAtRate;

// How far a corner or a time constant may stray from its value at 44100 Hz, as a share
// of it. A one-pole keeps its time constant; its -3 dB point moves a little as it comes
// near a quarter of the rate, where the response of a sampled filter bends toward half
// the rate (3.4 % for 2.5 kHz at 22050 Hz). The whole-number memories add their
// rounding, which weighs more at higher rates, where each frame moves them less.
struct RateTolerance {
  int32_t rate;
  double corner;     // one-pole corners up to 2.5 kHz
  double enhancer;   // the enhancer's +3 dB point
  double decayTime;  // step responses
};

constexpr RateTolerance kRates[] = {
    {22050, 0.04, 0.11, 0.01},
    {48000, 0.005, 0.015, 0.01},
    {96000, 0.01, 0.08, 0.02},
};

// Gain of the effect for a sine of f Hz at rate, over whole cycles once the filters have
// settled.
template <class Effect>
double GainAt(const FxParamTable& fx, int32_t rate, double f) {
  const int32_t frames = rate / 4;
  const std::vector<int16_t> in = test::Sine(f * kDefaultSampleRate / rate, 2500.0, frames);
  Effect effect;
  const std::vector<int16_t> out = RunAtRate(effect, fx, rate, in);
  const double cycles = std::floor(0.2 * f);
  const auto from = static_cast<size_t>(frames - std::lround(cycles * rate / f));
  return test::AmplitudeAt(out, f, rate, from) / test::AmplitudeAt(in, f, rate, from);
}

// The frequency in lo..hi at which gain(f) crosses level (the gain being monotonic there).
template <class Gain>
double CrossingHz(Gain gain, double level, double lo, double hi) {
  const bool risingAtLo = gain(lo) < level;
  for (int step = 0; step < 14; ++step) {
    const double mid = std::sqrt(lo * hi);
    ((gain(mid) < level) == risingAtLo ? lo : hi) = mid;
  }
  return std::sqrt(lo * hi);
}

// Seconds between the excess of s over its value at frame `settled` falling to `high` and
// falling to `low`, searched from frame `from`. Interpolated between frames on the
// logarithm, which is exact for an exponential decay.
double DecayTime(const std::vector<int16_t>& s, size_t from, size_t settled, double high,
                 double low, int32_t rate) {
  const double final = s[settled];
  auto fallsTo = [&](double level) {
    for (size_t n = from + 1; n < settled; ++n) {
      const double before = std::abs(s[n - 1] - final);
      const double after = std::abs(s[n] - final);
      if (before > level && after <= level) {
        return static_cast<double>(n - 1) +
               std::log(before / level) / std::log(before / std::max(after, 0.5));
      }
    }
    ADD_FAILURE() << "never falls to " << level;
    return 0.0;
  };
  return (fallsTo(low) - fallsTo(high)) / rate;
}

// The tone low-pass alone: the response at a tone row over the response with the tone
// open, which divides out the input high-pass of OverDrive and Distortion.
template <class Drive>
double ToneCornerHz(int32_t toneRow, int32_t rate) {
  constexpr EffectIndex effect = test::IndexOf<Drive>();
  auto tone = [&](double f) {
    return GainAt<Drive>(ParamsOf(effect, {1, toneRow, 50}), rate, f) /
           GainAt<Drive>(ParamsOf(effect, {1, 100, 50}), rate, f);
  };
  return CrossingHz(tone, std::sqrt(0.5), 50.0, 9000.0);
}

// A middle tone (40: corners of 1.5 and 2.5 kHz) of each drive, and the darkest one (some
// 190 Hz) of Fuzz: behind the input high-pass of the other two, low notes come out too
// faint for a clean measure.
TEST(DriveRates, TheToneKeepsItsCorner) {
  struct Case {
    const char* drive;
    double (*cornerHz)(int32_t toneRow, int32_t rate);
    int32_t toneRow;
  };
  for (const Case& c :
       {Case{"OverDrive", &ToneCornerHz<OverDrive>, 40},
        Case{"Distortion", &ToneCornerHz<Distortion>, 40}, Case{"Fuzz", &ToneCornerHz<Fuzz>, 40},
        Case{"Fuzz", &ToneCornerHz<Fuzz>, 0}}) {
    const double atDefault = c.cornerHz(c.toneRow, kDefaultSampleRate);
    for (const RateTolerance& r : kRates) {
      const double corner = c.cornerHz(c.toneRow, r.rate);
      EXPECT_NEAR(corner / atDefault, 1.0, r.corner)
          << c.drive << " tone " << c.toneRow << " at " << r.rate << ": " << corner << " Hz, "
          << atDefault << " Hz at 44100";
    }
  }
}

// The input high-pass of OverDrive and Distortion (the input minus its low-passed copy):
// a step falls back toward 1 % of itself with the low-pass's time constant.
template <class Drive>
double HighPassDecay(int32_t rate) {
  Drive drive;
  const std::vector<int16_t> out = RunAtRate(drive, ParamsOf(test::IndexOf<Drive>(), {1, 100, 50}),
                                             rate, std::vector<int16_t>(rate / 20, 10000));
  return DecayTime(out, 0, out.size() - 1, 4000, 400, rate);
}

TEST(DriveRates, TheInputHighPassKeepsItsTimeConstant) {
  const double overDrive = HighPassDecay<OverDrive>(kDefaultSampleRate);
  const double distortion = HighPassDecay<Distortion>(kDefaultSampleRate);
  EXPECT_NEAR(overDrive, std::log(10.0) / -std::log(0.8) / kDefaultSampleRate, 1e-6);
  for (const RateTolerance& r : kRates) {
    EXPECT_NEAR(HighPassDecay<OverDrive>(r.rate) / overDrive, 1.0, r.decayTime) << r.rate;
    EXPECT_NEAR(HighPassDecay<Distortion>(r.rate) / distortion, 1.0, r.decayTime) << r.rate;
  }
}

// Every reflection draws 0, the earliest time of its window: the first reflection of a
// step stands alone until the second one, 37 ms later.
class FirstDrawOnly : public RandomSource {
 public:
  double Next() override { return 0.0; }
  void ReseedFromClock() override {}
};

// The first reflection of a step through the reverb (level 20: wet 1, no direct sound):
// the seconds in which the high cut (50, some 2 kHz, without low cut) takes the
// reflection from half to nine tenths of its plateau, and in which the low cut (100, with
// the high cut at 0) takes it from nine tenths of its peak down to three tenths. The
// memories are whole numbers: a filter stalls where its step per frame rounds to
// nothing, which comes earlier at higher rates; these settings and levels keep the
// measure clear of that.
struct ReverbTimes {
  double highCutRise;
  double lowCutFall;
};

ReverbTimes ReverbStepTimes(int32_t rate) {
  auto firstReflection = [&](int32_t highCut, int32_t lowCut) {
    Reverb reverb;
    reverb.UseRandomSource(std::make_unique<FirstDrawOnly>());
    std::vector<int16_t> out = RunAtRate(reverb, ParamsOf(kReverb, {50, highCut, lowCut, 0, 20, 0}),
                                         rate, std::vector<int16_t>(rate / 10, 30000));
    const auto onset = std::find_if(out.begin(), out.end(), [](int16_t s) { return s != 0; });
    out.erase(out.begin(), onset);
    out.resize(static_cast<size_t>(rate * 3 / 100));  // 30 ms: before the second reflection
    return out;
  };
  const std::vector<int16_t> rising = firstReflection(50, 0);
  const double plateau = rising.back();
  const std::vector<int16_t> falling = firstReflection(0, 100);
  const auto peak = std::max_element(falling.begin(), falling.end());
  return ReverbTimes{DecayTime(rising, 0, rising.size() - 1, 0.5 * plateau, 0.1 * plateau, rate),
                     DecayTime(falling, static_cast<size_t>(peak - falling.begin()),
                               falling.size() - 1, 0.9 * *peak, 0.3 * *peak, rate)};
}

TEST(ReverbRates, TheHighAndTheLowCutKeepTheirTimeConstants) {
  const ReverbTimes atDefault = ReverbStepTimes(kDefaultSampleRate);
  for (const RateTolerance& r : kRates) {
    const ReverbTimes times = ReverbStepTimes(r.rate);
    EXPECT_NEAR(times.highCutRise / atDefault.highCutRise, 1.0, r.decayTime) << r.rate;
    EXPECT_NEAR(times.lowCutFall / atDefault.lowCutFall, 1.0, r.decayTime) << r.rate;
  }
}

// Level 100 (difference weight 3) over the direct sound at 100 %: the frequency at which
// the lift reaches 3 dB (some 2 kHz).
TEST(EnhancerRates, TheLiftKeepsItsCorner) {
  auto cornerAt = [](int32_t rate) {
    return CrossingHz(
        [&](double f) {
          return GainAt<Enhancer>(ParamsOf(kEnhancer, {100, 100}), rate, f);
        },
        std::sqrt(2.0), 300.0, 9000.0);
  };
  const double atDefault = cornerAt(kDefaultSampleRate);
  for (const RateTolerance& r : kRates) {
    const double corner = cornerAt(r.rate);
    EXPECT_NEAR(corner / atDefault, 1.0, r.enhancer)
        << r.rate << ": " << corner << " Hz, " << atDefault << " Hz at 44100";
  }
}

// At 44100 Hz the weights are the ones the effects were designed with, bit for bit, over
// the editor's rows and far beyond them.
TEST(OnePoleRates, AtTheDefaultRateTheWeightsAreTheDesignedOnes) {
  for (int32_t row = -300; row <= 300; ++row) {
    for (const auto& [slope, offset] : {std::pair{0.7, 30.0}, std::pair{0.55, 45.0}}) {
      DriveSettings s;
      s.Apply(ParamsOf(kFuzz, {50, row, 50}), kFuzz, 1.0, slope, offset, kDefaultSampleRate);
      const auto c = static_cast<float>((std::pow(slope * row + offset, 3.0) + 225.0) / 1000225.0);
      ASSERT_EQ(s.tone.input, c) << row;
      ASSERT_EQ(s.tone.memory, static_cast<float>(1.0 - c)) << row;
    }
    const auto a =
        static_cast<float>(static_cast<double>(0.51f) - static_cast<double>(0.005f) * row);
    const auto b = static_cast<float>(1 - 0.0002 * row);
    for (const OnePoleWeights w : {OnePoleWeights{a, static_cast<float>(double{0.999f} - a)},
                                   OnePoleWeights{static_cast<float>(1 - double{b}), b}}) {
      const OnePoleWeights kept = OnePoleAtRate(w, kDefaultSampleRate);
      ASSERT_EQ(kept.input, w.input) << row;
      ASSERT_EQ(kept.memory, w.memory) << row;
    }
  }
}

// Settings far outside the editor's ranges at the extreme rates: an effect may refuse
// them or fail a pass with the chain's error, never anything worse (the sanitizer build
// watches).
TEST(FilterRates, HandEditedSettingsAtOtherRatesFailOnlyAsErrors) {
  std::mt19937 rng(21);
  std::vector<int16_t> input(2000);
  for (int draw = 0; draw < 300; ++draw) {
    const int32_t rate = draw % 2 == 0 ? 22050 : 192000;
    test::FillRandomInput(rng, input);
    auto tryEffect = [&](auto effect, EffectIndex index) {
      FxParamTable fx = ParamsOf(index, {});
      test::DrawParameters(rng, index, fx);
      if constexpr (requires { effect.UseRandomSource(nullptr); })
        effect.UseRandomSource(std::make_unique<TwisterRandom>(draw));
      TrapErrors([&] {
        effect.Apply(fx, rate);
        test::RunEffect(effect, input);
      });
    };
    tryEffect(OverDrive{}, kOverDrive);
    tryEffect(Distortion{}, kDistortion);
    tryEffect(Fuzz{}, kFuzz);
    tryEffect(Enhancer{}, kEnhancer);
    tryEffect(Reverb{}, kReverb);
  }
}

}  // namespace
}  // namespace ampora
