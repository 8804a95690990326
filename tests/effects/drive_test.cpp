#include "effects/drive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "audio/stream_buffers.h"
#include "effects/effect_chain.h"
#include "effects/effect_test_helpers.h"
#include "support/signals.h"
#include "util/error_trap.h"

namespace ampora::test {
namespace {

// True when the signal takes exactly the two values low and high, and possibly 0 where
// the high-passed input is 0.
bool IsSquareWave(const std::vector<int16_t>& out, int16_t low, int16_t high) {
  std::set<int16_t> levels(out.begin(), out.end());
  levels.erase(0);
  return levels == std::set<int16_t>{low, high};
}

std::vector<int16_t> Alternating(int16_t amplitude, size_t frames) {
  std::vector<int16_t> v(frames);
  for (size_t n = 0; n < frames; ++n) v[n] = n % 2 == 0 ? amplitude : -amplitude;
  return v;
}

TEST(DriveSettingsTest, ToneIsOpenAt100AndLevel50IsUnity) {
  auto settingsOf = [](double slope, double offset, int32_t tone) {
    DriveSettings s;
    s.Apply(ParamsOf(kFuzz, {50, tone, 50}), kFuzz, 1.0, slope, offset, kDefaultSampleRate);
    return s;
  };
  for (auto [slope, offset] :
       {std::pair{OverDriveVoicing::kToneSlope, OverDriveVoicing::kToneOffset},
        std::pair{DistortionVoicing::kToneSlope, DistortionVoicing::kToneOffset}}) {
    const DriveSettings open = settingsOf(slope, offset, 100);
    EXPECT_EQ(open.tone.input, 1.0f);
    EXPECT_EQ(open.tone.memory, 0.0f);
    EXPECT_EQ(open.level, 1.0f);
  }
  const DriveSettings darkest = settingsOf(0.7, 30.0, 0);
  EXPECT_EQ(darkest.tone.input, static_cast<float>(27225.0 / 1000225.0));
  EXPECT_EQ(darkest.tone.memory, static_cast<float>(1.0 - darkest.tone.input));
  EXPECT_EQ(settingsOf(0.55, 45.0, 0).tone.input, static_cast<float>(91350.0 / 1000225.0));
}

// Tone 100 and level 50 leave the clipped gain stage as the output.
TEST(OverDriveTest, GainIsNineTenthsOfADecibelPerStep) {
  // A unit step on a fresh effect passes the high-pass as h = 1 in its first frame.
  EXPECT_EQ(Render<OverDrive>(ParamsOf(kOverDrive, {80, 100, 50}), {1})[0], 3981);  // 72 dB
  EXPECT_EQ(Render<OverDrive>(ParamsOf(kOverDrive, {100, 100, 50}), {1})[0], 13107);
  EXPECT_EQ(Render<OverDrive>(ParamsOf(kOverDrive, {100, 100, 50}), {-1})[0], -3277);
}

TEST(OverDriveTest, FullGainTurnsAnySignalIntoAnAsymmetricSquareWave) {
  const auto out =
      Render<OverDrive>(ParamsOf(kOverDrive, {100, 100, 50}), Sine(440.0, 3000.0, 2000));
  EXPECT_TRUE(IsSquareWave(out, -3277, 13107));
}

TEST(DistortionTest, LevelZeroSilencesAndLevel200QuadruplesTheClippedSignal) {
  const auto signal = Noise(32767, 3000);
  for (int16_t s : Render<Distortion>(ParamsOf(kDistortion, {50, 50, 0}), signal)) ASSERT_EQ(s, 0);
  const auto unity = Render<Distortion>(ParamsOf(kDistortion, {70, 30, 50}), signal);
  const auto top = Render<Distortion>(ParamsOf(kDistortion, {70, 30, 200}), signal);
  for (size_t n = 0; n < signal.size(); ++n) {
    ASSERT_EQ(top[n], std::clamp(4 * unity[n], -32767, 32767)) << "frame " << n;
  }
}

// From gain 91 up, G x h of a full-scale input leaves the 32-bit range; the product
// saturates and the clipper makes the square wave instead of the pass failing.
TEST(DistortionTest, HighGainOnFullScaleInputSaturatesIntoTheClipper) {
  const auto alternating = Alternating(32767, 500);
  const auto sine = Sine(100.0, 32767.0, 2000);
  for (int32_t gain = 91; gain <= 100; ++gain) {
    const auto fx = ParamsOf(kDistortion, {gain, 100, 50});
    const auto out = Render<Distortion>(fx, alternating);
    for (size_t n = 0; n < out.size(); ++n) {
      ASSERT_EQ(out[n], alternating[n] > 0 ? 8192 : -8192) << "gain " << gain << " frame " << n;
    }
    EXPECT_TRUE(IsSquareWave(Render<Distortion>(fx, sine), -8192, 8192)) << "gain " << gain;
  }
}

// The same through the chain: the pass completes and plays the square wave.
TEST(DistortionTest, ChainPassAtFullGainOnFullScaleInputCompletes) {
  StreamBuffers stream;
  stream.BlockLen = 309;
  stream.BlockCount = 2;
  stream.RingLen = 618;
  stream.CaptureRing.resize(618);
  stream.PlayRing.resize(618);
  for (auto& ring : stream.StageRing) ring.resize(618);
  const auto alternating = Alternating(32767, 618);
  for (size_t n = 0; n < alternating.size(); ++n) stream.CaptureRing[n].left = alternating[n];
  EffectChain chain(stream);
  const FxParamTable fx = ParamsOf(kDistortion, {100, 100, 50});
  for (int row = 0; row <= 3; ++row)
    chain.FxParam[FxIndex(kDistortion, row)] = fx[FxIndex(kDistortion, row)];
  chain.FxResync[kDistortion] = true;
  chain.ApplyEffectParams(kDistortion);
  for (int32_t start : {0, 309}) {
    ASSERT_EQ(chain.ProcessBlock(start, start + 308), 1);
    for (int32_t n = start; n <= start + 308; ++n) {
      const int16_t expected = alternating[n] > 0 ? 8192 : -8192;
      ASSERT_EQ(stream.PlayRing[n].left, expected) << "frame " << n;
      ASSERT_EQ(stream.PlayRing[n].right, expected) << "frame " << n;
    }
  }
}

TEST(DistortionTest, GainBeyondTheFloatRangeRaisesAndKeepsTheSettings) {
  const auto fx = ParamsOf(kDistortion, {60, 40, 70});
  const auto signal = Pluck(220.0, 20000.0, 2000);
  Distortion failed;
  failed.Apply(fx);
  try {
    failed.Apply(ParamsOf(kDistortion, {1000000, 0, 0}));
    ADD_FAILURE() << "no error raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kOverflow);
  }
  EXPECT_EQ(RunEffect(failed, signal), Render<Distortion>(fx, signal));
}

TEST(FuzzTest, GainZeroToneOpenLevelUnityPassesSignalsWithinTheClipper) {
  const auto signal = Noise(9830, 2000);
  EXPECT_EQ(Render<Fuzz>(ParamsOf(kFuzz, {0, 100, 50}), signal), signal);
}

// Tone 0 (c = 27225 / 1000225) smooths the input before the gain: a DC input climbs
// toward its value until the rounded step is zero, 0.5 / c = 18.4 below it.
TEST(FuzzTest, DarkestToneLetsDcThroughAsAConvergingLowPass) {
  const auto out = Render<Fuzz>(ParamsOf(kFuzz, {0, 0, 50}), std::vector<int16_t>(3000, 5000));
  EXPECT_EQ(out[0], 136);  // round(5000 c)
  EXPECT_EQ(out[1], 268);  // round(5000 c + (1 - c) 136)
  for (size_t n = 1; n < out.size(); ++n) ASSERT_GE(out[n], out[n - 1]);
  EXPECT_GE(out.back(), 5000 - 19);
  EXPECT_LE(out.back(), 5000);
  EXPECT_EQ(out[2000], out.back());
  // Above the clip limit the same climb ends at 9830.
  const auto clipped = Render<Fuzz>(ParamsOf(kFuzz, {0, 0, 50}), std::vector<int16_t>(3000, 20000));
  EXPECT_EQ(clipped.back(), 9830);
}

// The filter memories of the drives run on through Apply.
template <class Drive>
class DriveMemoryTest : public ::testing::Test {};
using DriveTypes = ::testing::Types<OverDrive, Distortion, Fuzz>;
TYPED_TEST_SUITE(DriveMemoryTest, DriveTypes);

TYPED_TEST(DriveMemoryTest, ApplyKeepsTheFilterMemories) {
  const auto fx = DefaultParams<TypeParam>();
  const auto signal = Pluck(196.0, 25000.0, 1236);
  const std::vector<int16_t> first(signal.begin(), signal.begin() + 618);
  const std::vector<int16_t> second(signal.begin() + 618, signal.end());
  TypeParam drive;
  drive.Apply(fx);
  auto out = RunEffect(drive, first);
  drive.Apply(fx);
  const auto rest = RunEffect(drive, second);
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_EQ(out, Render<TypeParam>(fx, signal));
}

}  // namespace
}  // namespace ampora::test
