#include <benchmark/benchmark.h>

#include "audio/block_layout.h"
#include "audio/stream_buffers.h"
#include "support/plucked_string.h"
#include "support/signals.h"
#include "support/tuner_rig.h"
#include "tuner/pitch_detector.h"
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

// UpdateTuner alone (the label row and the note) on a tuner-mode ring holding an A,
// block after block.
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

// The pitch detector alone on the newest frames of a ringing string (an E2 plucked a
// quarter of a second before), at the rate given. A steady string takes the detector's
// shortest road; the attack, which fits several candidate periods, the longest.
void BM_PitchDetector(benchmark::State& state) {
  const auto rate = static_cast<int32_t>(state.range(0));
  const auto afterPluckMs = static_cast<int32_t>(state.range(1));
  const int32_t length = PitchDetector::WindowFrames(rate);
  const int32_t end = length + rate * afterPluckMs / 1000;
  std::vector<double> string = test::PluckedString{82.41, rate, 1, 0.2}.Render(end);
  for (double& v : string) v *= 8000.0;
  const double* window = string.data() + (end - length);
  PitchDetector detector;
  for (auto _ : state) benchmark::DoNotOptimize(detector.Detect(window, rate));
  CountBlocks(state);
}
BENCHMARK(BM_PitchDetector)
    ->Args({44100, 250})
    ->Args({44100, 10})
    ->Args({48000, 250})
    ->Args({96000, 250})
    ->Args({192000, 250});

// The transform alone, the larger part of the label row's analysis.
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
