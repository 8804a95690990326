#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "audio/stream_buffers.h"
#include "audio/stream_format.h"
#include "effect_rig.h"
#include "effects/effect_chain.h"
#include "effects/effect_test_helpers.h"
#include "effects/reverb.h"
#include "support/signals.h"

// The whole chain, one ProcessBlock per iteration at the default block length (309
// frames, a ring of 428 blocks), walking through the ring as the poll does, over a
// looped guitar-like signal.
//
// Counters: ns_per_frame; realtime_x, how many times faster than the audio plays (one
// second of audio in 1 / realtime_x seconds); worst_block_pct, the slowest single pass as
// a share of the 7 ms that one block of audio lasts (steady state, the fastest of the
// laps through the ring for each block; the first pass after the setting is loaded,
// which copies every ring once, is first_block_pct).

namespace ampora {
namespace {

using bench::kBlockCount;
using bench::kBlockLen;

void RunChain(benchmark::State& state, const FxParamTable& fx) {
  StreamBuffers stream;
  AllocateRings(stream, kBlockLen, kBlockCount);
  const std::vector<int16_t> riff = test::Pluck(110.0, 8000.0, 2 * kDefaultSampleRate);
  for (int32_t i = 0; i < stream.RingLen; ++i) {
    stream.CaptureRing[i].left = riff[static_cast<size_t>(i) % riff.size()];
  }
  EffectChain chain(stream);
  chain.InitEffectTables();
  chain.FindUnit<Reverb>(kReverb)->UseRandomSource(std::make_unique<TwisterRandom>(1));
  chain.FxParam = fx;
  for (int e = 0; e < kEffectCount; ++e) {
    chain.FxResync[e] = true;
    chain.ApplyEffectParams(e);
  }

  using Clock = std::chrono::steady_clock;
  const double blockSeconds = static_cast<double>(kBlockLen) / kDefaultSampleRate;
  const auto first = Clock::now();
  chain.ProcessBlock(0, kBlockLen - 1);
  const double firstSeconds = std::chrono::duration<double>(Clock::now() - first).count();

  // The cost of a block depends on where it lies (the pitch shifter's grain cycle), not
  // on the lap: the fastest lap of each block is its cost, free of the interruptions
  // that a shared machine adds to single passes.
  std::vector<double> blockCost(kBlockCount, std::numeric_limits<double>::infinity());
  int32_t block = 1;
  for (auto _ : state) {
    const int32_t start = block * kBlockLen;
    const auto began = Clock::now();
    benchmark::DoNotOptimize(chain.ProcessBlock(start, start + kBlockLen - 1));
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    blockCost[block] = std::min(blockCost[block], seconds);
    block = (block + 1) % kBlockCount;
  }
  double worst = 0.0;
  for (const double cost : blockCost) {
    if (cost != std::numeric_limits<double>::infinity()) worst = std::max(worst, cost);
  }
  bench::CountFrames(state, kBlockLen);
  const auto frames = static_cast<double>(state.iterations()) * kBlockLen;
  state.counters["realtime_x"] =
      benchmark::Counter(frames / kDefaultSampleRate, benchmark::Counter::kIsRate);
  state.counters["worst_block_pct"] = 100.0 * worst / blockSeconds;
  state.counters["first_block_pct"] = 100.0 * firstSeconds / blockSeconds;
}

void BM_ProcessBlockAllOff(benchmark::State& state) {
  FxParamTable fx;
  ResetEffectParams(fx);
  RunChain(state, fx);
}
BENCHMARK(BM_ProcessBlockAllOff);

// Every effect on at its defaults.
void BM_ProcessBlockAllOn(benchmark::State& state) {
  RunChain(state, test::EveryEffectOnParams());
}
BENCHMARK(BM_ProcessBlockAllOn);

}  // namespace
}  // namespace ampora
