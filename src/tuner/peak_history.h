#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ampora {

// The input peaks of the last 16 tuner analyses, newest first, behind the level bar's
// hold mark. Cleared by every transport mode action (Start, Bypass, Tuner).
//
// Thread: UI thread.
class PeakHistory {
 public:
  static constexpr int32_t kLength = 16;

  void Clear() { peaks_.fill(0.0); }
  // Moves every peak one place older (the oldest drops out), makes peak the newest and
  // returns the hold: the largest of the 15 peaks before this one. The current peak thus
  // enters the hold from the next analysis on.
  double Push(double peak);
  double operator[](int32_t i) const { return peaks_[static_cast<size_t>(i)]; }

 private:
  std::array<double, kLength> peaks_{};
};

}  // namespace ampora
