#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "effects/delay.h"
#include "effects/echo.h"
#include "effects/effect_catalogue.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/effect_harness.h"
#include "util/error_trap.h"

namespace ampora {
namespace {

// Never written by an effect (stored samples are clipped to -32767..32767).
constexpr int16_t kUnwritten = -32768;

TEST(ModulationEchoRandomTest, AnyParametersOnAnyRingStayInsideAndDefined) {
  std::mt19937 rng(20240607);
  Tremolo tremolo;
  SweepEffect flanger(kFlangerShape), phaser(kPhaserShape), chorus(kChorusShape),
      vibrato(kVibratoShape);
  Echo echo;
  Delay delay;
  Reverb reverb;
  reverb.UseRandomSource(std::make_unique<TwisterRandom>(5));

  struct Unit {
    EffectIndex effect;
    bool stereo;
    std::function<void(const FxParamTable&)> apply;
    std::function<void(const StageBlock&)> run;
  };
  auto unit = [](auto& effect, EffectIndex index, bool stereo) {
    return Unit{index, stereo, [&effect](const FxParamTable& fx) { effect.Apply(fx); },
                [&effect](const StageBlock& block) { effect.Run(block); }};
  };
  const std::vector<Unit> units = {
      unit(tremolo, kTremolo, false), unit(flanger, kFlanger, false), unit(phaser, kPhaser, false),
      unit(chorus, kChorus, false),   unit(vibrato, kVibrato, false), unit(echo, kEcho, false),
      unit(delay, kDelay, true),      unit(reverb, kReverb, true),
  };

  constexpr int kSets = 100000;
  int completedPasses = 0;
  std::vector<int16_t> input;
  for (int set = 0; set < kSets; ++set) {
    const Unit& u = units[set % units.size()];
    FxParamTable fx;
    fx.fill(kNoParam);
    fx[FxIndex(u.effect, 0)] = 1;
    // In, near and far outside the editor's ranges.
    const EffectSpec& spec = kEffectCatalogue[u.effect];
    for (int p = 0; p < spec.paramCount; ++p) {
      fx[FxIndex(u.effect, p + 1)] =
          test::DrawParameter(rng, spec.params[p].min, spec.params[p].max);
    }
    TrapErrors([&] { u.apply(fx); });

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
      const bool completed = TrapErrors([&] { u.run(block); });
      completedPasses += completed ? 1 : 0;
      // Only the block's frames change; a completed pass wrote every one of them, a
      // trapped one may have left some as they were.
      int32_t stray = -1;
      for (int32_t k = 0; k < ringLen && stray < 0; ++k) {
        const bool leftWritten = k >= block.start && k <= block.end;
        const bool rightWritten = leftWritten && u.stereo;
        if ((!leftWritten && out[k].left != before[k].left) ||
            (!rightWritten && out[k].right != before[k].right) ||
            (completed && leftWritten && out[k].left == kUnwritten) ||
            (completed && rightWritten && out[k].right == kUnwritten)) {
          stray = k;
        }
      }
      ASSERT_EQ(stray, -1) << "set " << set << " (effect " << u.effect << ")";
    }
  }
  // Most sets lie near the editor ranges and complete.
  EXPECT_GT(completedPasses, kSets);
}

}  // namespace
}  // namespace ampora
