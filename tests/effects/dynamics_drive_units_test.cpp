// What holds for every dynamics and drive effect: the block length does not change the
// output, the output of short generated signals is pinned by golden files, and no
// parameter set, however far out of range, makes an effect crash or write outside its
// block.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "effects/effect_test_helpers.h"
#include "support/golden.h"
#include "support/signals.h"
#include "util/error_trap.h"

namespace ampora::test {
namespace {

// A plucked low string at full drive followed by a quieter high tone and noise.
std::vector<int16_t> TestSignal() {
  std::vector<int16_t> signal = Pluck(82.41, 30000.0, 2000);
  const auto tone = Sine(1000.0, 6000.0, 600);
  const auto noise = Noise(12000, 400, 7);
  signal.insert(signal.end(), tone.begin(), tone.end());
  signal.insert(signal.end(), noise.begin(), noise.end());
  return signal;
}

// Settings away from the defaults that reach the mix, level and saturation paths.
template <class Effect>
FxParamTable HotParams();
template <>
FxParamTable HotParams<Limiter>() {
  return ParamsOf(kLimiter, {20, 20, 40, 150});
}
template <>
FxParamTable HotParams<Compressor>() {
  return ParamsOf(kCompressor, {30, 50, 150, 60, 120});
}
template <>
FxParamTable HotParams<Enhancer>() {
  return ParamsOf(kEnhancer, {40, 150});
}
template <>
FxParamTable HotParams<OverDrive>() {
  return ParamsOf(kOverDrive, {100, 0, 120});
}
template <>
FxParamTable HotParams<Distortion>() {
  return ParamsOf(kDistortion, {100, 10, 80});
}
template <>
FxParamTable HotParams<Fuzz>() {
  return ParamsOf(kFuzz, {100, 0, 200});
}

template <class Effect>
class EffectUnitTest : public ::testing::Test {};
using EffectTypes = ::testing::Types<Limiter, Compressor, Enhancer, OverDrive, Distortion, Fuzz>;
TYPED_TEST_SUITE(EffectUnitTest, EffectTypes);

TYPED_TEST(EffectUnitTest, BlockLengthDoesNotChangeTheOutput) {
  const auto signal = TestSignal();
  for (const FxParamTable& fx : {DefaultParams<TypeParam>(), HotParams<TypeParam>()}) {
    const auto whole = Render<TypeParam>(fx, signal, static_cast<int32_t>(signal.size()));
    for (int32_t blockLen : {44, 309, 1323}) {
      EXPECT_EQ(Render<TypeParam>(fx, signal, blockLen), whole) << "block length " << blockLen;
    }
  }
}

TYPED_TEST(EffectUnitTest, MatchesGoldenOutput) {
  const std::string name = NameOf<TypeParam>();
  ExpectMatchesGolden(name + "_default",
                      Render<TypeParam>(DefaultParams<TypeParam>(), TestSignal()));
  ExpectMatchesGolden(name + "_hot", Render<TypeParam>(HotParams<TypeParam>(), TestSignal()));
}

// 100000 parameter sets on one live effect, each applied and run over one block of 44
// frames in the middle of a ring. Raised errors are the trap's business; the effect must
// never write outside its block nor touch the right samples, and a completed block holds
// legal samples only.
TYPED_TEST(EffectUnitTest, SurvivesRandomParametersFarOutOfRange) {
  constexpr EffectIndex kIndex = IndexOf<TypeParam>();
  constexpr int32_t kBlockLen = 44;
  constexpr int32_t kRingLen = 3 * kBlockLen;
  constexpr int16_t kUntouched = 12345;
  std::mt19937 rng(20240501u + kIndex);
  TypeParam effect;
  std::vector<int16_t> input(kRingLen);
  std::vector<Frame> in(kRingLen), out(kRingLen);
  int completed = 0;
  for (int set = 0; set < 100000; ++set) {
    FxParamTable fx = DefaultParams<TypeParam>();
    DrawParameters(rng, kIndex, fx);
    FillRandomInput(rng, input);
    for (int32_t i = 0; i < kRingLen; ++i) in[i] = Frame{input[i], input[i]};
    out.assign(kRingLen, Frame{kUntouched, kUntouched});
    const StageBlock block{in.data(), out.data(), kRingLen, kBlockLen, 2 * kBlockLen - 1};
    const bool ok = TrapErrors([&] {
      effect.Apply(fx);
      effect.Run(block);
    });
    completed += ok ? 1 : 0;
    for (int32_t i = 0; i < kRingLen; ++i) {
      const bool inBlock = i >= block.start && i <= block.end;
      ASSERT_EQ(out[i].right, kUntouched) << "set " << set << " frame " << i;
      if (!inBlock) {
        ASSERT_EQ(out[i].left, kUntouched) << "set " << set << " frame " << i;
      } else if (ok) {
        ASSERT_GE(out[i].left, -32767) << "set " << set << " frame " << i;
      }
    }
  }
  // Many draws lie in the editor's range, where a block completes.
  EXPECT_GT(completed, 25000);
}

}  // namespace
}  // namespace ampora::test
