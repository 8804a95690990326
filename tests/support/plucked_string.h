#pragma once

#include <cstdint>
#include <vector>

namespace ampora::test {

// A plucked string (Karplus-Strong): a burst of noise circulating in a loop of one period
// through a two-point average, with a first-order allpass for the fraction of a sample
// that tunes it exactly, and a loss that lets it ring down by 60 dB in decaySeconds. The
// same on every machine (a fixed linear congruential noise).
//
// pluckPosition (0 .. 0.5, 0 = none) shapes the burst as a string plucked at that
// fraction of its length: harmonics that have a node there are missing, and near the
// bridge the fundamental is weaker than the overtones above it, as on a real guitar.
struct PluckedString {
  double hz = 110.0;
  int32_t sampleRate = 44100;
  uint32_t seed = 1;
  double pluckPosition = 0.0;
  double decaySeconds = 4.0;

  // frames values, peaking near +-1.
  std::vector<double> Render(int32_t frames) const;
};

}  // namespace ampora::test
