#include <benchmark/benchmark.h>

#include <vector>

#include "effects/pitch_shift.h"

namespace {

using ampora::FxIndex;
using ampora::PitchShift;

// The default stream: 309-frame blocks, 428 of them in the ring.
constexpr int32_t kBlockLen = 309;
constexpr int32_t kBlockCount = 428;
constexpr int32_t kRingLen = kBlockLen * kBlockCount;

struct Rig {
  PitchShift ps;
  std::vector<ampora::Frame> in = std::vector<ampora::Frame>(kRingLen);
  std::vector<ampora::Frame> out = std::vector<ampora::Frame>(kRingLen);

  Rig(int32_t semitones, int32_t fine) {
    ampora::FxParamTable fx{};
    fx[FxIndex(ampora::kPitchShift, 1)] = semitones;
    fx[FxIndex(ampora::kPitchShift, 2)] = fine;
    fx[FxIndex(ampora::kPitchShift, 3)] = 100;
    fx[FxIndex(ampora::kPitchShift, 4)] = 0;
    ps.Apply(fx, kBlockLen);
    uint32_t seed = 1;
    for (ampora::Frame& f : in) {
      seed = seed * 1664525u + 1013904223u;
      f.left = static_cast<int16_t>(static_cast<int32_t>(seed >> 16) % 8000);
    }
  }
  void Run(int32_t block) {
    const int32_t start = block * kBlockLen;
    ps.Run(ampora::StageBlock{in.data(), out.data(), kRingLen, start, start + kBlockLen - 1});
    benchmark::DoNotOptimize(out[start].left);
  }
};

// Cost per frame over the whole ring, grain blocks included, at the default setting.
void BM_PitchShiftDefault(benchmark::State& state) {
  Rig rig(0, 0);
  int32_t block = 0;
  for (auto _ : state) {
    rig.Run(block);
    block = (block + 1) % kBlockCount;
  }
  state.SetItemsProcessed(state.iterations() * kBlockLen);
}
BENCHMARK(BM_PitchShiftDefault);

// One block that builds a grain (ring block 0), to set against the block's 7.0 ms:
// at the default r = 1, an octave up (averaging) and the editor's lowest ratio, 0.45,
// whose 11-block grain makes it the worst block.
void BM_PitchShiftGrainBlock(benchmark::State& state) {
  Rig rig(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  for (auto _ : state) rig.Run(0);
}
BENCHMARK(BM_PitchShiftGrainBlock)->Args({0, 0})->Args({12, 100})->Args({-12, -100});

}  // namespace
