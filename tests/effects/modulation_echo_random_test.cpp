#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "effects/effect_units.h"
#include "effects/reverb.h"
#include "support/effect_harness.h"
#include "util/error_trap.h"

namespace ampora {
namespace {

// Never written by an effect (stored samples are clipped to -32767..32767).
constexpr int16_t kUnwritten = -32768;

TEST(ModulationEchoRandomTest, AnyParametersOnAnyRingStayInsideAndDefined) {
  std::mt19937 rng(20240607);
  // The program's units, the reverb drawing a fixed sequence.
  EffectUnitTable units = BuiltEffectUnits();
  dynamic_cast<PluggedUnit<Reverb>&>(*units[kReverb])
      .unit()
      .UseRandomSource(std::make_unique<TwisterRandom>(5));
  constexpr std::array<EffectIndex, 8> kEffects = {kTremolo, kFlanger, kPhaser, kChorus,
                                                   kVibrato, kEcho,    kDelay,  kReverb};

  constexpr int kSets = 100000;
  int completedPasses = 0;
  std::vector<int16_t> input;
  for (int set = 0; set < kSets; ++set) {
    const EffectIndex effect = kEffects[set % kEffects.size()];
    EffectUnit& unit = *units[effect];
    const bool stereo = effect == kDelay || effect == kReverb;
    FxParamTable fx;
    fx.fill(kNoParam);
    fx[FxIndex(effect, 0)] = kEffectOn;
    // In, near and far outside the editor's ranges.
    test::DrawParameters(rng, effect, fx);
    TrapErrors([&] { unit.Apply(fx, RingShape{}); });

    // A ring of a new size each time (the effects keep their phases and positions from
    // rings of other sizes), sized exactly so that the sanitizer sees any stray index.
    const int32_t blockLen = std::uniform_int_distribution<int32_t>(1, 48)(rng);
    const int32_t blockCount = std::uniform_int_distribution<int32_t>(1, 5)(rng);
    const int32_t ringLen = blockLen * blockCount;
    std::vector<Frame> in(static_cast<size_t>(ringLen));
    std::vector<Frame> out(static_cast<size_t>(ringLen), Frame{kUnwritten, kUnwritten});
    input.resize(static_cast<size_t>(ringLen));
    test::FillRandomInput(rng, input);
    for (int32_t k = 0; k < ringLen; ++k) in[k] = Frame{input[k], input[k]};

    for (int pass = 0; pass < 2; ++pass) {
      const int32_t start =
          std::uniform_int_distribution<int32_t>(0, blockCount - 1)(rng) * blockLen;
      const StageBlock block{in.data(), out.data(), ringLen, start, start + blockLen - 1};
      std::vector<Frame> before = out;
      const bool completed = TrapErrors([&] { unit.Run(block); });
      completedPasses += completed ? 1 : 0;
      // Only the block's frames change; a completed pass wrote every one of them, a
      // trapped one may have left some as they were.
      int32_t stray = -1;
      for (int32_t k = 0; k < ringLen && stray < 0; ++k) {
        const bool leftWritten = k >= block.start && k <= block.end;
        const bool rightWritten = leftWritten && stereo;
        if ((!leftWritten && out[k].left != before[k].left) ||
            (!rightWritten && out[k].right != before[k].right) ||
            (completed && leftWritten && out[k].left == kUnwritten) ||
            (completed && rightWritten && out[k].right == kUnwritten)) {
          stray = k;
        }
      }
      ASSERT_EQ(stray, -1) << "set " << set << " (effect " << effect << ")";
    }
  }
  // Most sets lie near the editor ranges and complete.
  EXPECT_GT(completedPasses, kSets);
}

}  // namespace
}  // namespace ampora
