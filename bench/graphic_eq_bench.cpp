#include <benchmark/benchmark.h>

#include <vector>

#include "effects/graphic_eq.h"

namespace {

using ampora::FxIndex;
using ampora::GraphicEq;

constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 16;

// Cost per frame of the equaliser stage with the given band gains, over blocks of the
// default length on a ring of noise-like input.
void RunEqualiser(benchmark::State& state, const std::vector<int32_t>& gains) {
  ampora::FxParamTable fx{};
  for (int b = 0; b < GraphicEq::kBandCount; ++b) fx[FxIndex(ampora::kGraphicEq, b + 1)] = gains[b];
  fx[FxIndex(ampora::kGraphicEq, 16)] = 100;
  GraphicEq eq;
  eq.InitEffectTables();
  eq.Apply(fx);
  const int32_t ringLen = kBlockLen * kBlockCount;
  std::vector<ampora::Frame> in(ringLen);
  std::vector<ampora::Frame> out(ringLen);
  uint32_t seed = 1;
  for (ampora::Frame& f : in) {
    seed = seed * 1664525u + 1013904223u;
    f.left = static_cast<int16_t>(static_cast<int32_t>(seed >> 16) % 8000);
  }
  int32_t block = 0;
  for (auto _ : state) {
    const int32_t start = block * kBlockLen;
    eq.Run(ampora::StageBlock{in.data(), out.data(), ringLen, start, start + kBlockLen - 1});
    benchmark::DoNotOptimize(out[start].left);
    block = (block + 1) % kBlockCount;
  }
  state.SetItemsProcessed(state.iterations() * kBlockLen);
}

void BM_GraphicEqDefault(benchmark::State& state) {
  RunEqualiser(state, std::vector<int32_t>(GraphicEq::kBandCount, 0));
}
BENCHMARK(BM_GraphicEqDefault);

void BM_GraphicEqOneBand(benchmark::State& state) {
  std::vector<int32_t> gains(GraphicEq::kBandCount, 0);
  gains[8] = 6;
  RunEqualiser(state, gains);
}
BENCHMARK(BM_GraphicEqOneBand);

void BM_GraphicEqAllBands(benchmark::State& state) {
  std::vector<int32_t> gains;
  for (int b = 0; b < GraphicEq::kBandCount; ++b) gains.push_back(b % 2 == 0 ? 6 : -4);
  RunEqualiser(state, gains);
}
BENCHMARK(BM_GraphicEqAllBands);

}  // namespace
