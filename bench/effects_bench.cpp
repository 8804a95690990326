// Cost per frame of the dynamics and drive effects at their default parameters, run over
// a plucked-string signal in blocks of 309 frames (the default block length).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/frame.h"
#include "effects/effect_test_helpers.h"

namespace {

using namespace ampora;

constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 64;
constexpr int32_t kRingLen = kBlockLen * kBlockCount;

// A decaying plucked tone restarted every 0.25 s, peaking near full scale.
std::vector<Frame> GuitarRing() {
  std::vector<Frame> ring(kRingLen);
  for (int32_t i = 0; i < kRingLen; ++i) {
    const double t = (i % 11025) / 44100.0;
    const double v = 30000.0 * std::exp(-6.0 * t) *
                     (std::sin(2.0 * M_PI * 110.0 * t) + 0.3 * std::sin(2.0 * M_PI * 330.0 * t));
    const auto s = static_cast<int16_t>(std::lrint(std::fmax(-32767.0, std::fmin(32767.0, v))));
    ring[i] = Frame{s, s};
  }
  return ring;
}

template <class Effect>
void BM_Effect(benchmark::State& state) {
  const FxParamTable fx = test::DefaultParams<Effect>();
  const std::vector<Frame> in = GuitarRing();
  std::vector<Frame> out(kRingLen);
  Effect effect;
  effect.Apply(fx);
  int32_t block = 0;
  for (auto _ : state) {
    const int32_t start = block * kBlockLen;
    effect.Run(StageBlock{in.data(), out.data(), kRingLen, start, start + kBlockLen - 1});
    block = (block + 1) % kBlockCount;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlockLen);
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kBlockLen),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class Effect>
void Register() {
  benchmark::RegisterBenchmark(test::NameOf<Effect>().c_str(), BM_Effect<Effect>);
}

const int kRegistered = [] {
  Register<Limiter>();
  Register<Compressor>();
  Register<Enhancer>();
  Register<OverDrive>();
  Register<Distortion>();
  Register<Fuzz>();
  return 0;
}();

}  // namespace
