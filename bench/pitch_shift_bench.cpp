#include <benchmark/benchmark.h>

#include <vector>

#include "effect_rig.h"
#include "effects/effect_test_helpers.h"
#include "effects/pitch_shift.h"
#include "support/signals.h"

namespace ampora {
namespace {

// The shifted signal only, at the given transposition.
PitchShift ShifterAt(int32_t semitones, int32_t fine) {
  PitchShift ps;
  ps.Apply(test::ParamsOf(kPitchShift, {semitones, fine, 100, 0}),
           {bench::kBlockLen, bench::kRingLen});
  return ps;
}

std::vector<Frame> NoiseRing() {
  return bench::StageRingOf(test::Noise(12000, bench::kRingLen));
}

// Cost per frame over the whole ring, grain blocks included, at the default setting.
void BM_PitchShiftDefault(benchmark::State& state) {
  PitchShift ps = ShifterAt(0, 0);
  bench::RunBlockPerIteration(state, ps, NoiseRing());
}
BENCHMARK(BM_PitchShiftDefault);

// One block that builds a grain (ring block 0), to set against the block's 7.0 ms:
// at the default r = 1, an octave up (averaging) and the editor's lowest ratio, 0.45,
// whose 11-block grain makes it the worst block of the editor's range. Beyond it, as a
// hand-edited bank may hold: five octaves up, and r = 161, the largest the default
// ring takes, whose look-back spans nearly the whole ring.
void BM_PitchShiftGrainBlock(benchmark::State& state) {
  PitchShift ps =
      ShifterAt(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  const std::vector<Frame> in = NoiseRing();
  std::vector<Frame> out(in.size());
  for (auto _ : state) {
    ps.Run(StageBlock{in.data(), out.data(), bench::kRingLen, 0, bench::kBlockLen - 1});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PitchShiftGrainBlock)
    ->Args({0, 0})
    ->Args({12, 100})
    ->Args({-12, -100})
    ->Args({60, 0})
    ->Args({88, 0});

}  // namespace
}  // namespace ampora
