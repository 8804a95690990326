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

TunerAnalysis::TunerAnalysis()
    : bins_(BuildTunerBins(kDefaultSampleRate)),
      window_(static_cast<size_t>(PitchDetector::WindowFrames(PitchDetector::kHighestRate))) {
  fft_.Init(C_FFT::kPoints);
}

std::optional<TunerReading> TunerAnalysis::UpdateTuner(const StreamBuffers& buffers, int32_t k,
                                                       float a4) {
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
  reading.a4 = CheckedTunerA4(a4);
  reading.note = ReadPlayedNote(buffers, start + buffers.BlockLen, reading.a4);
  return reading;
}

std::optional<NoteReading> TunerAnalysis::ReadPlayedNote(const StreamBuffers& buffers, int64_t end,
                                                         float a4) {
  // New rings hold other audio than the estimates before.
  if (buffers.Generation != ringGeneration_) tracker_.Clear();
  ringGeneration_ = buffers.Generation;

  const int64_t length = PitchDetector::WindowFrames(sampleRate_);
  const int64_t ringLen = std::min<int64_t>(buffers.RingLen, buffers.CaptureRing.size());
  if (length == 0 || length > ringLen) return std::nullopt;
  const double gain = buffers.InGain[0];
  // The frames before the block's start lie at the ring's end when it wraps.
  int64_t frame = (end - length + ringLen) % ringLen;
  for (int64_t i = 0; i < length; ++i) {
    window_[static_cast<size_t>(i)] = buffers.CaptureRing[static_cast<size_t>(frame)].left * gain;
    frame = frame + 1 == ringLen ? 0 : frame + 1;
  }
  const std::optional<double> hz = tracker_.Next(detector_.Detect(window_.data(), sampleRate_));
  if (!hz) return std::nullopt;
  return ReadNote(*hz, a4);
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
  if (best < kDetectionThreshold) return -1;
  // Pitches that read the same four spectrum values always tie, and the lowest of them
  // wins the comparison above. When a note is among them, its own label lights rather
  // than a dot below it: otherwise C and F could never light.
  const auto sameBins = [&](int32_t a, int32_t b) {
    for (const auto& row : bins_) {
      if (row[static_cast<size_t>(a)] != row[static_cast<size_t>(b)]) return false;
    }
    return true;
  };
  for (int32_t p = found + 1; p < kTunerPitchCount && sameBins(found, p); ++p) {
    if (IsTunerNote(p)) return p;
  }
  return found;
}

}  // namespace ampora
