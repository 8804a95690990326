#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "effects/delay.h"
#include "effects/echo.h"
#include "effects/effect_test_helpers.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"

// Cost per frame of each effect at its default settings, on the default rings (309-frame
// blocks, 428 blocks) filled with noise, one block per iteration as the chain runs them.

namespace ampora {
namespace {

constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 428;

template <class Effect>
void RunPerFrame(benchmark::State& state, Effect& effect) {
  const int32_t ringLen = kBlockLen * kBlockCount;
  std::vector<Frame> in(ringLen), out(ringLen);
  uint32_t seed = 1;
  for (Frame& f : in) {
    seed = seed * 1664525u + 1013904223u;
    const auto s = static_cast<int16_t>(static_cast<int32_t>(seed >> 16) % 24000 - 12000);
    f = Frame{s, s};
  }
  int32_t block = 0;
  for (auto _ : state) {
    const int32_t start = block * kBlockLen;
    effect.Run(StageBlock{in.data(), out.data(), ringLen, start, start + kBlockLen - 1});
    block = (block + 1) % kBlockCount;
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlockLen * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
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
