#include "audio/devices/generated_inputs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "util/rounding.h"

namespace ampora {

namespace {

// -12 dBFS of a 16-bit sample.
const double kPeak = 32767.0 * std::pow(10.0, -12.0 / 20.0);

// Notes of the riff as MIDI note numbers with their lengths in eighth notes at 120 beats
// per minute (an eighth note is a quarter of a second).
struct Note {
  int key;
  int eighths;
};
constexpr Note kRiff[] = {
    {40, 1}, {40, 1}, {43, 1}, {40, 1}, {45, 1}, {40, 1}, {43, 1}, {47, 1},
    {40, 1}, {40, 1}, {50, 1}, {47, 1}, {45, 2}, {43, 1}, {40, 3},
};

// A fixed linear congruential sequence: the same riff on every machine.
class NoiseSource {
 public:
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  uint32_t state_ = 12345u;
};

// Adds one plucked note (a Karplus-Strong string: a noise burst circulating through a
// delay line of one period with a two-point average) to out from start on, with a 5 ms
// fade where the next note cuts it.
void Pluck(int key, int32_t start, int32_t length, int32_t sampleRate, NoiseSource& noise,
           std::vector<double>& out) {
  const int32_t releaseFrames = sampleRate / 200;
  const double frequency = 440.0 * std::pow(2.0, (key - 69) / 12.0);
  const size_t period = StringPeriodFrames(frequency, sampleRate);
  std::vector<double> line(period);
  for (double& v : line) v = noise.Next();
  size_t pos = 0;
  for (int32_t i = 0; i < length; ++i) {
    const double next = line[(pos + 1) % period];
    const double v = line[pos];
    line[pos] = 0.996 * 0.5 * (v + next);
    pos = (pos + 1) % period;
    const double fade = std::min(1.0, static_cast<double>(length - i) / releaseFrames);
    out[static_cast<size_t>(start + i)] += v * fade;
  }
}

std::vector<Frame> ToFrames(const std::vector<double>& signal, double scale) {
  std::vector<Frame> frames(signal.size());
  for (size_t i = 0; i < signal.size(); ++i) {
    const int16_t s = ClipRound(signal[i] * scale);
    frames[i] = Frame{s, s};
  }
  return frames;
}

}  // namespace

size_t StringPeriodFrames(double frequency, int32_t sampleRate) {
  return static_cast<size_t>(RoundInt32(sampleRate / frequency));
}

std::vector<Frame> DemoGuitarRiff(int32_t sampleRate) {
  const int32_t eighthFrames = sampleRate / 4;
  int32_t total = 0;
  for (const Note& note : kRiff) total += note.eighths * eighthFrames;
  std::vector<double> signal(static_cast<size_t>(total));
  NoiseSource noise;
  int32_t start = 0;
  for (const Note& note : kRiff) {
    const int32_t length = note.eighths * eighthFrames;
    Pluck(note.key, start, length, sampleRate, noise, signal);
    start += length;
  }
  double peak = 0.0;
  for (double v : signal) peak = std::max(peak, std::abs(v));
  return ToFrames(signal, peak > 0.0 ? kPeak / peak : 0.0);
}

std::vector<Frame> TestTone(int32_t sampleRate) {
  std::vector<double> signal(static_cast<size_t>(sampleRate));
  for (size_t i = 0; i < signal.size(); ++i) {
    signal[i] = std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / sampleRate);
  }
  return ToFrames(signal, kPeak);
}

}  // namespace ampora
