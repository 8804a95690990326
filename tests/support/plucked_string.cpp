#include "support/plucked_string.h"

#include <cmath>
#include <numbers>

namespace ampora::test {

std::vector<double> PluckedString::Render(int32_t frames) const {
  const double period = sampleRate / hz;
  // The average delays by half a sample, the allpass by 0.1 .. 1.1 samples.
  const auto length = static_cast<size_t>(std::floor(period - 0.6));
  // The allpass's delay at the fundamental is exactly the fraction (not only near 0 Hz),
  // so that the string sounds at hz to a small part of a cent, high strings too.
  const double fraction = period - 0.5 - static_cast<double>(length);
  const double w = 2 * std::numbers::pi * hz / sampleRate;
  const double theta = w * (1 - fraction) / 2;
  const double c = std::sin(theta) / std::sin(w - theta);
  const double loss = std::pow(10.0, -3.0 / (decaySeconds * hz));
  std::vector<double> burst(length);
  uint32_t state = seed;
  for (double& v : burst) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
  // A string has no lasting offset: the burst loses its mean, which the loop would
  // otherwise keep long after the tone (its average passes 0 Hz whole).
  double mean = 0;
  for (double v : burst) mean += v;
  mean /= static_cast<double>(length);
  for (double& v : burst) v -= mean;
  std::vector<double> line = burst;
  if (pluckPosition > 0) {
    const auto offset =
        static_cast<size_t>(std::lround(pluckPosition * static_cast<double>(length)));
    for (size_t i = 0; i < length; ++i) line[i] = 0.5 * (burst[i] - burst[(i + offset) % length]);
  }
  std::vector<double> out(static_cast<size_t>(frames));
  double previous = 0, apIn = 0, apOut = 0;
  size_t pos = 0;
  for (double& o : out) {
    o = line[pos];
    const double averaged = 0.5 * (o + previous);
    previous = o;
    apOut = c * averaged + apIn - c * apOut;
    apIn = averaged;
    line[pos] = loss * apOut;
    pos = (pos + 1) % length;
  }
  return out;
}

}  // namespace ampora::test
