#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ampora::test {

// Generated test signals, mono 16-bit at 44100 frames per second, the same on every
// machine (no library randomness).

// amplitude x sin(2 pi f n / 44100), rounded to nearest.
std::vector<int16_t> Sine(double frequency, double amplitude, int32_t frames);

// Uniform noise in -amplitude..amplitude from a fixed linear congruential sequence.
std::vector<int16_t> Noise(int32_t amplitude, int32_t frames, uint32_t seed = 1);

// Amplitude of the component at f Hz of a signal at rate frames per second, from whole
// cycles starting at frame `from`.
double AmplitudeAt(const std::vector<int16_t>& s, double f, int32_t rate, size_t from);

// A decaying plucked-string-like tone: harmonics of f with an exponential envelope.
std::vector<int16_t> Pluck(double frequency, double amplitude, int32_t frames);

}  // namespace ampora::test
