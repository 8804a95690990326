#include <benchmark/benchmark.h>

#include <vector>

#include "effect_rig.h"
#include "effects/effect_test_helpers.h"
#include "effects/graphic_eq.h"
#include "support/signals.h"

namespace ampora {
namespace {

// Cost per frame of the equaliser stage with the given band gains, one block per
// iteration on the default rings filled with noise.
void RunEqualiser(benchmark::State& state, const std::vector<int32_t>& gains) {
  FxParamTable fx = test::DefaultParamsOf(kGraphicEq);
  for (int b = 0; b < GraphicEq::kBandCount; ++b) fx[FxIndex(kGraphicEq, b + 1)] = gains[b];
  GraphicEq eq;
  eq.InitEffectTables();
  eq.Apply(fx);
  const std::vector<Frame> in = bench::StageRingOf(test::Noise(12000, bench::kRingLen));
  bench::RunBlockPerIteration(state, eq, in);
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
}  // namespace ampora
