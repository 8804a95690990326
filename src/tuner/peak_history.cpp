#include "tuner/peak_history.h"

#include <algorithm>

namespace ampora {

double PeakHistory::Push(double peak) {
  double hold = 0.0;
  for (size_t i = kLength - 1; i >= 1; --i) {
    peaks_[i] = peaks_[i - 1];
    hold = std::max(hold, peaks_[i]);
  }
  peaks_[0] = peak;
  return hold;
}

}  // namespace ampora
