// Cost per frame of the dynamics and drive effects at their default parameters, run over
// a plucked-string signal in blocks of 309 frames (the default block length).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/frame.h"
#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/fx_param.h"

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

FxParamTable Defaults(EffectIndex effect, std::initializer_list<int32_t> rows) {
  FxParamTable fx;
  fx.fill(kNoParam);
  fx[FxIndex(effect, 0)] = 1;
  int row = 1;
  for (int32_t v : rows) fx[FxIndex(effect, row++)] = v;
  return fx;
}

template <class Effect>
void BM_Effect(benchmark::State& state, FxParamTable fx) {
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
void Register(const char* name, FxParamTable fx) {
  benchmark::RegisterBenchmark(name,
                               [fx](benchmark::State& state) { BM_Effect<Effect>(state, fx); });
}

const int kRegistered = [] {
  Register<Limiter>("limiter", Defaults(kLimiter, {50, 200, 0, 100}));
  Register<Compressor>("compressor", Defaults(kCompressor, {50, 200, 100, 100, 100}));
  Register<Enhancer>("enhancer", Defaults(kEnhancer, {100, 100}));
  Register<OverDrive>("overdrive", Defaults(kOverDrive, {50, 50, 50}));
  Register<Distortion>("distortion", Defaults(kDistortion, {50, 50, 50}));
  Register<Fuzz>("fuzz", Defaults(kFuzz, {50, 50, 50}));
  return 0;
}();

}  // namespace
