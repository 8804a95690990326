#include "support/signals.h"

#include <cmath>
#include <numbers>

namespace ampora::test {

namespace {
int16_t ToSample(double v) {
  const double r = std::nearbyint(v);
  if (r > 32767.0) return 32767;
  if (r < -32768.0) return -32768;
  return static_cast<int16_t>(r);
}
}  // namespace

std::vector<int16_t> Sine(double frequency, double amplitude, int32_t frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames));
  for (int32_t n = 0; n < frames; ++n) {
    out[n] = ToSample(amplitude * std::sin(2.0 * std::numbers::pi * frequency * n / 44100.0));
  }
  return out;
}

std::vector<int16_t> Noise(int32_t amplitude, int32_t frames, uint32_t seed) {
  std::vector<int16_t> out(static_cast<size_t>(frames));
  uint32_t state = seed;
  for (int32_t n = 0; n < frames; ++n) {
    state = state * 1664525u + 1013904223u;
    const double unit = static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    out[n] = ToSample((2.0 * unit - 1.0) * amplitude);
  }
  return out;
}

std::vector<int16_t> Pluck(double frequency, double amplitude, int32_t frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames));
  for (int32_t n = 0; n < frames; ++n) {
    const double t = n / 44100.0;
    double v = 0.0;
    for (int h = 1; h <= 6; ++h) {
      v += std::sin(2.0 * std::numbers::pi * frequency * h * t) * std::exp(-t * 3.0 * h) / h;
    }
    out[n] = ToSample(amplitude * v * 0.6);
  }
  return out;
}

double AmplitudeAt(const std::vector<int16_t>& s, double f, int32_t rate, size_t from) {
  double c = 0.0;
  double sn = 0.0;
  for (size_t i = from; i < s.size(); ++i) {
    const double phase = 2.0 * std::numbers::pi * f * static_cast<double>(i) / rate;
    c += s[i] * std::cos(phase);
    sn += s[i] * std::sin(phase);
  }
  return 2.0 * std::hypot(c, sn) / static_cast<double>(s.size() - from);
}

}  // namespace ampora::test
