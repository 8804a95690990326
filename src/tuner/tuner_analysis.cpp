#include "tuner/tuner_analysis.h"

#include <algorithm>
#include <cmath>

#include "audio/block_layout.h"
#include "audio/sample_rate.h"

namespace ampora {

namespace {

// The analysed signal is the block averaged in pairs: 1024 values, zero-padded.
constexpr int32_t kAnalysedValues = kTunerBlockLen / 2;

}  // namespace

TunerAnalysis::TunerAnalysis() : bins_(BuildTunerBins(kDefaultSampleRate)) {
  fft_.Init(C_FFT::kPoints);
}

std::optional<TunerReading> TunerAnalysis::UpdateTuner(const StreamBuffers& buffers, int32_t k) {
  if (k < 0 || k >= buffers.BlockCount) return std::nullopt;
  const int64_t start = static_cast<int64_t>(k) * buffers.BlockLen;
  const auto ringLen = static_cast<int64_t>(buffers.CaptureRing.size());
  if (start + kTunerBlockLen > std::min<int64_t>(buffers.RingLen, ringLen)) return std::nullopt;

  TunerReading reading;
  reading.peak = LoadBlock(buffers, static_cast<int32_t>(start));
  fft_.FourierTransform();
  AddToHistory();
  reading.found = DetectPitch();
  reading.hold = peaks_.Push(reading.peak);
  return reading;
}

double TunerAnalysis::LoadBlock(const StreamBuffers& buffers, int32_t start) {
  const double gain = buffers.InGain[0];
  const Frame* block = buffers.CaptureRing.data() + start;
  double peak = 0.0;
  for (int32_t i = 0; i < kAnalysedValues; ++i) {
    const double v = (block[2 * i].left + block[2 * i + 1].left) * gain / 2.0;
    // Index 0 is written in every step too and so ends with the last value: the spectrum,
    // and the detection threshold with it, is that of this signal.
    fft_.RealIn(0, v);
    fft_.RealIn(i, v);
    peak = std::max(peak, std::abs(v));
  }
  return peak;
}

void TunerAnalysis::AddToHistory() {
  std::copy_backward(history_.begin(), history_.end() - 1, history_.end());
  for (size_t p = 0; p < kTunerPitchCount; ++p) {
    double energy = 0.0;
    for (const auto& row : bins_) energy += std::abs(fft_.RealOut(row[p]));
    history_[0][p] = energy;
    double sum = 0.0;
    for (const auto& analysis : history_) sum += analysis[p];
    sums_[p] = sum;
  }
}

int32_t TunerAnalysis::DetectPitch() const {
  double best = 0.0;
  int32_t found = 0;
  for (int32_t p = 0; p < kTunerPitchCount; ++p) {
    // Strictly greater: of equal sums the lower pitch wins.
    if (sums_[static_cast<size_t>(p)] > best) {
      best = sums_[static_cast<size_t>(p)];
      found = p;
    }
  }
  return best < kDetectionThreshold ? -1 : found;
}

}  // namespace ampora
