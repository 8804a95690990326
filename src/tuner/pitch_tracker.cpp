#include "tuner/pitch_tracker.h"

#include <algorithm>
#include <cmath>

namespace ampora {

namespace {

double Cents(double hz, double reference) {
  return 1200.0 * std::log2(hz / reference);
}

// hz moved by whole octaves next to reference, when it is that note an octave or two
// away (or in the same octave); nothing otherwise.
std::optional<double> InOctaveOf(double hz, double reference) {
  for (const int32_t octaves : {0, -1, 1, -2, 2}) {
    const double moved = std::ldexp(hz, octaves);
    if (std::abs(Cents(moved, reference)) < PitchTracker::kSameNoteCents) return moved;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> PitchTracker::Next(const std::optional<PitchDetector::Estimate>& estimate) {
  const std::optional<double> previous = previous_;
  previous_ = estimate ? std::optional<double>(estimate->hz) : std::nullopt;
  ++sinceShown_;
  const bool holding = shown_ > 0.0 && sinceShown_ <= kHoldAnalyses;
  if (!estimate) {
    if (!holding) shown_ = 0.0;
    return std::nullopt;
  }
  const double hz = estimate->hz;
  if (holding) {
    if (const std::optional<double> same = InOctaveOf(hz, shown_)) {
      Keep(*same);
      return shown_;
    }
  }
  // A note not shown yet: only when the analysis before read it too.
  if (!previous || std::abs(Cents(hz, *previous)) >= kSameNoteCents) return std::nullopt;
  recentCount_ = 0;
  Keep(*previous);
  Keep(hz);
  return shown_;
}

void PitchTracker::Keep(double hz) {
  if (recentCount_ == static_cast<int32_t>(recent_.size())) {
    recent_[0] = recent_[1];
    recent_[1] = recent_[2];
    --recentCount_;
  }
  recent_[static_cast<size_t>(recentCount_++)] = hz;
  // The median of three passes over one stray estimate; until there are three, the
  // newest, which saw the most of the note.
  shown_ = hz;
  if (recentCount_ == 3) {
    shown_ = std::max(std::min(recent_[0], recent_[1]),
                      std::min(std::max(recent_[0], recent_[1]), recent_[2]));
  }
  sinceShown_ = 0;
}

void PitchTracker::Clear() {
  *this = PitchTracker();
}

}  // namespace ampora
