#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "util/rounding.h"

namespace {

std::vector<double> Inputs() {
  std::vector<double> v(4096);
  for (size_t i = 0; i < v.size(); ++i) v[i] = (static_cast<double>(i) - 2048.0) * 17.37;
  return v;
}

void BM_RoundInt32(benchmark::State& state) {
  const std::vector<double> in = Inputs();
  for (auto _ : state) {
    int32_t sum = 0;
    for (double x : in) sum += ampora::RoundInt32(x);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.size()));
}
BENCHMARK(BM_RoundInt32);

void BM_Nearbyint(benchmark::State& state) {
  const std::vector<double> in = Inputs();
  for (auto _ : state) {
    int32_t sum = 0;
    for (double x : in) sum += static_cast<int32_t>(std::nearbyint(x));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.size()));
}
BENCHMARK(BM_Nearbyint);

}  // namespace
