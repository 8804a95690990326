#include "tuner/tuner_bins.h"

#include "util/rounding.h"

namespace ampora {

TunerBinTable BuildTunerBins(int32_t sampleRate) {
  const double s = 2048.0 / sampleRate;
  TunerBinTable bins{};
  for (int32_t k = 0; k < kTunerPitchCount; ++k) {
    const double a = TunerPitch[static_cast<size_t>(k)];
    bins[0][static_cast<size_t>(k)] = RoundInt32(a / 2.0 * s);
    bins[1][static_cast<size_t>(k)] = RoundInt32(a / 4.0 * s);
    bins[2][static_cast<size_t>(k)] = RoundInt32(a * s);
    bins[3][static_cast<size_t>(k)] = RoundInt32(2.0 * a * s);
  }
  return bins;
}

}  // namespace ampora
