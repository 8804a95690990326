#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "effect_rig.h"
#include "effects/delay.h"
#include "effects/echo.h"
#include "effects/effect_test_helpers.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"
#include "support/signals.h"

// Cost per frame of each effect at its default settings, on the default rings filled with
// noise, one block per iteration as the chain runs them.

namespace ampora {
namespace {

template <class Effect>
void RunPerFrame(benchmark::State& state, Effect& effect) {
  const std::vector<Frame> in = bench::StageRingOf(test::Noise(12000, bench::kRingLen));
  bench::RunBlockPerIteration(state, effect, in);
}

void BM_Tremolo(benchmark::State& state) {
  Tremolo effect;
  effect.Apply(test::DefaultParamsOf(kTremolo));
  RunPerFrame(state, effect);
}
BENCHMARK(BM_Tremolo);

void BM_Sweep(benchmark::State& state, const SweepShape& shape) {
  SweepEffect effect(shape);
  effect.Apply(test::DefaultParamsOf(shape.effect));
  RunPerFrame(state, effect);
}
BENCHMARK_CAPTURE(BM_Sweep, Flanger, kFlangerShape);
BENCHMARK_CAPTURE(BM_Sweep, Phaser, kPhaserShape);
BENCHMARK_CAPTURE(BM_Sweep, Chorus, kChorusShape);
BENCHMARK_CAPTURE(BM_Sweep, Vibrato, kVibratoShape);

void BM_Echo(benchmark::State& state) {
  Echo effect;
  effect.Apply(test::DefaultParamsOf(kEcho));
  RunPerFrame(state, effect);
}
BENCHMARK(BM_Echo);

void BM_Delay(benchmark::State& state) {
  Delay effect;
  effect.Apply(test::DefaultParamsOf(kDelay));
  RunPerFrame(state, effect);
}
BENCHMARK(BM_Delay);

void BM_Reverb(benchmark::State& state) {
  Reverb effect;
  effect.UseRandomSource(std::make_unique<TwisterRandom>(1));
  effect.Apply(test::DefaultParamsOf(kReverb));
  RunPerFrame(state, effect);
}
BENCHMARK(BM_Reverb);

}  // namespace
}  // namespace ampora
