#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "audio/stream_buffers.h"
#include "tuner/fft.h"
#include "tuner/peak_history.h"
#include "tuner/tuner_bins.h"
#include "tuner/tuner_pitch.h"

namespace ampora {

// What one analysis gives the tuner display.
struct TunerReading {
  int32_t found = -1;  // the highlighted pitch 0..47, -1 = none
  double peak = 0.0;   // the block's largest |value| after the input gain (32767 = full scale)
  double hold = 0.0;   // the largest peak of the 15 analyses before this one

  bool operator==(const TunerReading&) const = default;
};

// The tuner's analysis: which of the 48 pitches carries the most energy over the last 64
// analysed blocks, folded over four octaves, and the input level with its hold.
//
// The program owns one object for its whole life: the history carries over from one
// period of tuner mode to the next, so the first analyses after the tuner is switched on
// again still see the earlier period. The peak history is cleared by the transport.
//
// Thread: UI thread, every member.
class TunerAnalysis {
 public:
  static constexpr int32_t kHistoryLength = 64;
  // The smallest 64-analysis sum that counts as a pitch.
  static constexpr double kDetectionThreshold = 220000.0;

  using HistoryRows = std::array<std::array<double, kTunerPitchCount>, kHistoryLength>;

  // Makes the transform (2048 points) and the bins for 44100 Hz; nothing is allocated
  // afterwards.
  TunerAnalysis();

  // The rate of the blocks analysed from now on: the bins are rebuilt for it. Set when
  // the stream is set up, outside the analysis.
  void SetSampleRate(int32_t sampleRate) { bins_ = BuildTunerBins(sampleRate); }

  // Analyses capture block k of the rings (the index PollStream returned in tuner mode):
  // the left channel averaged in pairs and scaled by InGain[0], zero-padded to 2048 points.
  // Returns nothing, and changes nothing, when k is not a block of the ring or the ring
  // does not hold the 2048 frames of a tuner block from the block's start on.
  std::optional<TunerReading> UpdateTuner(const StreamBuffers& buffers, int32_t k);

  // The hook of the transport's Start, Bypass and Tuner actions.
  void ClearPeakHistory() { peaks_.Clear(); }

  const TunerBinTable& TunerBinIndex() const { return bins_; }
  // Row 0 is the newest analysis.
  const HistoryRows& TunerHistory() const { return history_; }
  const std::array<double, kTunerPitchCount>& TunerSum() const { return sums_; }
  const PeakHistory& Peaks() const { return peaks_; }

 private:
  // Fills the transform's input from the block; returns the peak.
  double LoadBlock(const StreamBuffers& buffers, int32_t start);
  void AddToHistory();
  int32_t DetectPitch() const;

  C_FFT fft_;
  TunerBinTable bins_;
  HistoryRows history_{};
  std::array<double, kTunerPitchCount> sums_{};
  PeakHistory peaks_;
};

}  // namespace ampora
