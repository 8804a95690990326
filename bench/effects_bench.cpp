// Cost per frame of the dynamics and drive effects at their default parameters, run over
// a plucked string restarted every quarter second, one block per iteration.

#include <benchmark/benchmark.h>

#include "audio/stream_format.h"
#include "effect_rig.h"
#include "effects/effect_test_helpers.h"
#include "support/signals.h"

namespace ampora {
namespace {

template <class Effect>
void BM_Effect(benchmark::State& state) {
  Effect effect;
  effect.Apply(test::DefaultParams<Effect>());
  const std::vector<Frame> in =
      bench::StageRingOf(test::Pluck(110.0, 30000.0, kDefaultSampleRate / 4));
  bench::RunBlockPerIteration(state, effect, in);
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
}  // namespace ampora
