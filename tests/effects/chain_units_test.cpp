#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/stream_buffers.h"
#include "effects/delay.h"
#include "effects/echo.h"
#include "effects/effect_chain.h"
#include "effects/effect_test_helpers.h"
#include "effects/graphic_eq.h"
#include "effects/pitch_shift.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/effect_harness.h"
#include "support/signals.h"

namespace ampora {
namespace {

constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 8;
constexpr uint64_t kSeed = 77;

// The play ring's output of the program's chain with one effect on at its defaults (the
// reverb seeded), block by block over the signal.
std::vector<Frame> ChainOutput(EffectIndex effect, const std::vector<int16_t>& signal) {
  StreamBuffers stream;
  AllocateRings(stream, kBlockLen, kBlockCount);
  EffectChain chain(stream);
  chain.InitEffectTables();
  Reverb* reverb = chain.FindUnit<Reverb>(kReverb);
  if (reverb == nullptr) {
    ADD_FAILURE() << "no reverb unit in the chain";
    return {};
  }
  reverb->UseRandomSource(std::make_unique<TwisterRandom>(kSeed));
  chain.FxParam = test::DefaultParamsOf(effect);
  chain.ApplyEffectParams(effect);

  std::vector<Frame> out;
  for (size_t b = 0; b * kBlockLen < signal.size(); ++b) {
    const int32_t start = static_cast<int32_t>(b % kBlockCount) * kBlockLen;
    for (int32_t j = 0; j < kBlockLen; ++j) {
      stream.CaptureRing[start + j] = Frame{signal[b * kBlockLen + j], 0};
    }
    EXPECT_EQ(chain.ProcessBlock(start, start + kBlockLen - 1), 1);
    out.insert(out.end(), stream.PlayRing.begin() + start,
               stream.PlayRing.begin() + start + kBlockLen);
  }
  return out;
}

// The same effect on its own, with the mono signal in both channels as after the
// mono-to-stereo step.
template <class Effect>
std::vector<Frame> UnitOutput(Effect effect, EffectIndex index,
                              const std::vector<int16_t>& signal) {
  if constexpr (requires { effect.InitEffectTables(); }) effect.InitEffectTables();
  if constexpr (requires { effect.Apply(FxParamTable{}, RingShape{}); }) {
    effect.Apply(test::DefaultParamsOf(index), RingShape{kBlockLen, kBlockLen * kBlockCount});
  } else {
    effect.Apply(test::DefaultParamsOf(index));
  }
  return test::RunBlocks(signal, kBlockLen, kBlockCount,
                         [&](const StageBlock& block) { effect.Run(block); });
}

// Each unit sits at its effect's index and sees the stage the chain hands it: the chain
// with that one effect on plays what the unit alone produces (mono effects on both
// channels).
TEST(ChainUnitsTest, EachEffectIsPluggedAtItsIndex) {
  const std::vector<int16_t> signal = test::Noise(20000, 20 * kBlockLen);
  Reverb seeded;
  seeded.UseRandomSource(std::make_unique<TwisterRandom>(kSeed));
  struct Case {
    EffectIndex effect;
    std::vector<Frame> expected;
    bool mono;
  };
  const std::vector<Case> cases = {
      {kGraphicEq, UnitOutput(GraphicEq(), kGraphicEq, signal), true},
      {kPitchShift, UnitOutput(PitchShift(), kPitchShift, signal), true},
      {kTremolo, UnitOutput(Tremolo(), kTremolo, signal), true},
      {kFlanger, UnitOutput(SweepEffect(kFlangerShape), kFlanger, signal), true},
      {kPhaser, UnitOutput(SweepEffect(kPhaserShape), kPhaser, signal), true},
      {kChorus, UnitOutput(SweepEffect(kChorusShape), kChorus, signal), true},
      {kVibrato, UnitOutput(SweepEffect(kVibratoShape), kVibrato, signal), true},
      {kEcho, UnitOutput(Echo(), kEcho, signal), true},
      {kDelay, UnitOutput(Delay(), kDelay, signal), false},
      {kReverb, UnitOutput(std::move(seeded), kReverb, signal), false},
  };
  for (const Case& c : cases) {
    const std::vector<Frame> out = ChainOutput(c.effect, signal);
    ASSERT_EQ(out.size(), c.expected.size());
    for (size_t n = 0; n < out.size(); ++n) {
      const int16_t right = c.mono ? c.expected[n].left : c.expected[n].right;
      ASSERT_EQ(out[n].left, c.expected[n].left) << "effect " << c.effect << " frame " << n;
      ASSERT_EQ(out[n].right, right) << "effect " << c.effect << " frame " << n;
    }
  }
}

}  // namespace
}  // namespace ampora
