#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "tuner/pitch_detector.h"

// What the tuner shows of the pitch estimates, one per analysis. A single estimate is
// never shown on its own: a note appears once two analyses in a row agree on it, so that
// the noise of a pluck's first moment cannot flash a wrong note. Once shown, a note keeps
// its octave while it rings and for a few analyses after it was last read: an estimate
// an octave or two away is taken as that note (a string whose fundamental fades below
// its second harmonic must not jump an octave up). The frequency shown is the median of
// the last three estimates of the note, which keeps one stray estimate off the needle.
//
// Thread: UI thread.

namespace ampora {

class PitchTracker {
 public:
  // Analyses after the last reading during which an estimate of the same note (in any
  // octave) is still shown at once, and in the octave shown before.
  static constexpr int32_t kHoldAnalyses = 3;
  // Estimates this close (in cents) are of the same note.
  static constexpr double kSameNoteCents = 50.0;

  // The frequency to show after this analysis: estimate is the detector's, nothing when
  // it found no clear pitch.
  std::optional<double> Next(const std::optional<PitchDetector::Estimate>& estimate);

  // Forgets everything: the next estimate starts afresh (the input has been cut).
  void Clear();

 private:
  void Keep(double hz);

  std::optional<double> previous_;  // the last estimate, as it came
  double shown_ = 0.0;              // the last frequency shown, 0 = none
  int32_t sinceShown_ = 0;          // analyses since it was shown
  std::array<double, 3> recent_{};  // the last estimates of the note shown, in its octave
  int32_t recentCount_ = 0;
};

}  // namespace ampora
