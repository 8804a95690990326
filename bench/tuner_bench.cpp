#include <benchmark/benchmark.h>

#include "audio/block_layout.h"
#include "audio/stream_buffers.h"
#include "support/signals.h"
#include "support/tuner_rig.h"
#include "tuner/tuner_analysis.h"

namespace ampora {
namespace {

// The cost of one analysed 2048-frame block (46 ms of audio), in microseconds.
void CountBlocks(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations());
  state.counters["us_per_block"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1e-6,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// UpdateTuner alone on a tuner-mode ring holding an A, block after block.
void BM_UpdateTuner(benchmark::State& state) {
  StreamBuffers buffers;
  AllocateRings(buffers, kTunerBlockLen, 64);
  const std::vector<int16_t> tone = test::Sine(440.0, 8000.0, buffers.RingLen);
  for (size_t i = 0; i < tone.size(); ++i) buffers.CaptureRing[i] = Frame{tone[i], tone[i]};
  TunerAnalysis tuner;
  int32_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tuner.UpdateTuner(buffers, k));
    k = (k + 1) % buffers.BlockCount;
  }
  CountBlocks(state);
}
BENCHMARK(BM_UpdateTuner);

// The transform alone, the larger part of an analysis.
void BM_FourierTransform(benchmark::State& state) {
  C_FFT fft;
  fft.Init(C_FFT::kPoints);
  const std::vector<int16_t> tone = test::Sine(440.0, 8000.0, C_FFT::kPoints / 2);
  for (int32_t i = 0; i < C_FFT::kPoints / 2; ++i) fft.RealIn(i, tone[static_cast<size_t>(i)]);
  for (auto _ : state) {
    fft.FourierTransform();
    benchmark::DoNotOptimize(fft.RealOut(41));
  }
  CountBlocks(state);
}
BENCHMARK(BM_FourierTransform);

// What a timer tick in tuner mode costs when a block has completed: the built-in input
// captures it, the poll returns it and the tuner analyses it.
void BM_TunerTick(benchmark::State& state) {
  TunerAnalysis tuner;
  test::TunerRig rig(tuner, test::Sine(440.0, 8000.0, 4 * kTunerBlockLen));
  for (auto _ : state) benchmark::DoNotOptimize(rig.Analyse());
  CountBlocks(state);
}
BENCHMARK(BM_TunerTick);

}  // namespace
}  // namespace ampora
