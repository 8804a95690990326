#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/frame.h"
#include "effects/stage_block.h"

// What the effect benchmarks share: the default stream's ring size, a stage ring of
// input, one block per iteration walked through the ring as the poll does, and the cost
// per frame as a counter.

namespace ampora::bench {

// The default stream: 309-frame blocks, 428 of them in the ring.
inline constexpr int32_t kBlockLen = 309;
inline constexpr int32_t kBlockCount = 428;
inline constexpr int32_t kRingLen = kBlockLen * kBlockCount;

// A stage ring of kRingLen frames holding the signal, looped, in both samples.
inline std::vector<Frame> StageRingOf(const std::vector<int16_t>& signal) {
  std::vector<Frame> ring(kRingLen);
  for (size_t i = 0; i < ring.size(); ++i) {
    const int16_t s = signal[i % signal.size()];
    ring[i] = Frame{s, s};
  }
  return ring;
}

// Items processed and ns_per_frame (in nanoseconds) for the frames of every iteration.
inline void CountFrames(benchmark::State& state, int32_t framesPerIteration) {
  const auto frames = static_cast<double>(state.iterations()) * framesPerIteration;
  state.SetItemsProcessed(static_cast<int64_t>(frames));
  state.counters["ns_per_frame"] =
      benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Runs the effect on one block of the ring (from StageRingOf) per iteration, block after
// block.
template <class Effect>
void RunBlockPerIteration(benchmark::State& state, Effect& effect, const std::vector<Frame>& in) {
  std::vector<Frame> out(in.size());
  const auto ringLen = static_cast<int32_t>(in.size());
  int32_t block = 0;
  for (auto _ : state) {
    const int32_t start = block * kBlockLen;
    effect.Run(StageBlock{in.data(), out.data(), ringLen, start, start + kBlockLen - 1});
    block = (block + 1) % kBlockCount;
    benchmark::ClobberMemory();
  }
  CountFrames(state, kBlockLen);
}

}  // namespace ampora::bench
