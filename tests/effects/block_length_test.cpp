#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "effects/delay.h"
#include "effects/effect_test_helpers.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/effect_harness.h"
#include "support/signals.h"

namespace ampora {
namespace {

using test::ParamsOf;
using test::RunBlocks;

// Runs a fresh effect over noise in blocks of the given length, on a ring of at least
// 52800 frames (longer than the longest reflection at default settings).
using Runner = std::function<std::vector<Frame>(int32_t blockLen)>;

template <class Effect, class Make>
Runner RunnerOf(Make make, FxParamTable fx) {
  return [make, fx](int32_t blockLen) {
    Effect effect = make();
    effect.Apply(fx);
    const int32_t blockCount = (52800 + blockLen - 1) / blockLen;
    return RunBlocks(test::Noise(20000, 60000), blockLen, blockCount,
                     [&](const StageBlock& block) { effect.Run(block); });
  };
}

// Everything but Echo (whose short delays depend on the block by design) sounds the same
// whatever the block length. The first frame of a sweep effect is the exception: it
// averages the whole ring, whose length follows the block length.
TEST(BlockLengthTest, OutputDoesNotDependOnTheBlockLength) {
  struct Case {
    const char* name;
    Runner run;
    size_t from;
  };
  const std::vector<Case> cases = {
      {"tremolo", RunnerOf<Tremolo>([] { return Tremolo(); }, ParamsOf(kTremolo, {20, 30})), 0},
      {"flanger",
       RunnerOf<SweepEffect>([] { return SweepEffect(kFlangerShape); },
                             ParamsOf(kFlanger, {100, 100, 100})),
       1},
      {"chorus",
       RunnerOf<SweepEffect>([] { return SweepEffect(kChorusShape); },
                             ParamsOf(kChorus, {100, 100, 100})),
       1},
      {"delay", RunnerOf<Delay>([] { return Delay(); }, ParamsOf(kDelay, {500, 1, 50, 100})), 0},
      {"reverb",
       RunnerOf<Reverb>(
           [] {
             Reverb reverb;
             reverb.UseRandomSource(std::make_unique<TwisterRandom>(9));
             return reverb;
           },
           ParamsOf(kReverb, {50, 50, 50, 50, 100, 50})),
       0},
  };
  for (const Case& c : cases) {
    const std::vector<int16_t> reference = test::Interleaved(c.run(309));
    for (int32_t blockLen : {44, 1323}) {
      const std::vector<int16_t> out = test::Interleaved(c.run(blockLen));
      ASSERT_EQ(out.size(), reference.size());
      for (size_t n = 2 * c.from; n < out.size(); ++n) {
        ASSERT_EQ(out[n], reference[n])
            << c.name << ", blocks of " << blockLen << ", frame " << n / 2;
      }
    }
  }
}

}  // namespace
}  // namespace ampora
