#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/stream_buffers.h"
#include "effects/effect_chain.h"

namespace {

// One ProcessBlock per iteration, all effects off, default block length (309 frames, a
// ring of 428 blocks), walking through the ring as the poll does.
void BM_ProcessBlockAllOff(benchmark::State& state) {
  ampora::StreamBuffers stream;
  stream.BlockLen = 309;
  stream.BlockCount = 428;
  stream.RingLen = stream.BlockLen * stream.BlockCount;
  std::vector<ampora::Frame> ring(static_cast<size_t>(stream.RingLen));
  for (size_t i = 0; i < ring.size(); ++i) {
    ring[i].left = static_cast<int16_t>((i * 7919) % 60000 - 30000);
  }
  stream.CaptureRing = ring;
  stream.PlayRing = ring;
  for (auto& stage : stream.StageRing) stage = ring;
  stream.InGain = {1.7782794f, 1.7782794f};
  stream.OutGain = {0.70794576f, 0.5f};
  ampora::EffectChain chain(stream);

  int32_t block = 0;
  for (auto _ : state) {
    const int32_t start = block * stream.BlockLen;
    benchmark::DoNotOptimize(chain.ProcessBlock(start, start + stream.BlockLen - 1));
    block = (block + 1) % stream.BlockCount;
  }
  state.SetItemsProcessed(state.iterations() * stream.BlockLen);
  // The share of the block's 7 ms of audio that one pass costs is time / 7.0 ms.
}
BENCHMARK(BM_ProcessBlockAllOff);

}  // namespace
