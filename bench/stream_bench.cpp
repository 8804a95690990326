#include <benchmark/benchmark.h>

#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"
#include "effects/effect_chain.h"

namespace ampora {
namespace {

// One block through the engine at the default block length (309 frames, 7 ms): the
// built-in devices capture and play it (the manual clock's Advance), then the poll hands
// it to the bypass or to the chain with every effect off and writes it out.
struct BenchEngine {
  explicit BenchEngine(int32_t bypass) {
    engine.BypassOn = bypass;
    engine.WaveDeviceId = {1, 0};  // test tone -> null
    engine.InitStream();
    engine.OpenStream();
  }
  ManualClock clock;
  AudioDevices devices{DeviceConfig{"", "", "", false}, &clock};
  StreamEngine engine{devices.WaveIn(), devices.WaveOut(), chain};
  EffectChain chain{engine.Buffers()};
};

void RunBlocks(benchmark::State& state, int32_t bypass) {
  BenchEngine bench(bypass);
  const int32_t blockLen = bench.engine.Layout().BlockLen;
  for (auto _ : state) {
    bench.clock.Advance(blockLen);
    benchmark::DoNotOptimize(bench.engine.PollStream());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["block_ms"] = 1000.0 * blockLen / kDefaultSampleRate;
}

void BM_PollBypassBlock(benchmark::State& state) {
  RunBlocks(state, 1);
}
BENCHMARK(BM_PollBypassBlock);

void BM_PollProcessBlockAllOff(benchmark::State& state) {
  RunBlocks(state, 0);
}
BENCHMARK(BM_PollProcessBlockAllOff);

}  // namespace
}  // namespace ampora
