#include "tuner/pitch_detector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "support/plucked_string.h"
#include "support/signals.h"

namespace ampora {
namespace {

double Cents(double hz, double reference) {
  return 1200.0 * std::log2(hz / reference);
}

// A sum of harmonics of hz: amplitude[h - 1] for harmonic h, peak near `peak`.
std::vector<double> Harmonics(double hz, int32_t rate, int32_t frames,
                              const std::vector<double>& amplitudes, double peak = 8000) {
  std::vector<double> out(static_cast<size_t>(frames));
  for (int32_t n = 0; n < frames; ++n) {
    double v = 0;
    for (size_t h = 0; h < amplitudes.size(); ++h) {
      v += amplitudes[h] *
           std::sin(2 * std::numbers::pi * hz * static_cast<double>(h + 1) * n / rate);
    }
    out[static_cast<size_t>(n)] = std::nearbyint(peak * v);
  }
  return out;
}

std::vector<double> String(double hz, int32_t rate, int32_t frames, uint32_t seed = 1,
                           double pluckPosition = 0.2, double peak = 8000) {
  std::vector<double> out = test::PluckedString{hz, rate, seed, pluckPosition}.Render(frames);
  double largest = 0;
  for (double v : out) largest = std::max(largest, std::abs(v));
  for (double& v : out) v = std::nearbyint(v * peak / largest);
  return out;
}

// What the detector reads in the window that ends `ms` milliseconds into the signal
// (frames before its start are silence).
std::optional<double> ReadAt(PitchDetector& detector, const std::vector<double>& signal,
                             int32_t rate, double ms) {
  const int32_t length = PitchDetector::WindowFrames(rate);
  const auto end = static_cast<int32_t>(ms * rate / 1000);
  std::vector<double> window(static_cast<size_t>(length), 0.0);
  for (int32_t i = 0; i < length; ++i) {
    const int32_t frame = end - length + i;
    if (frame >= 0 && frame < static_cast<int32_t>(signal.size())) window[i] = signal[frame];
  }
  const std::optional<PitchDetector::Estimate> estimate = detector.Detect(window.data(), rate);
  if (!estimate) return std::nullopt;
  return estimate->hz;
}

// Strings and sines from a bass's low E to two octaves above the guitar's high E, at the
// usual rates: read to a small part of a cent once the string rings.
TEST(PitchDetector, ReadsStringsAndSinesToAFractionOfACent) {
  PitchDetector detector;
  for (const int32_t rate : {44100, 48000}) {
    for (const double hz : {41.20, 61.74, 82.41 * 1.0076, 196.0, 329.63, 659.26, 1318.51}) {
      const std::vector<double> sine = Harmonics(hz, rate, rate / 2, {1.0});
      const std::optional<double> fromSine = ReadAt(detector, sine, rate, 400);
      ASSERT_TRUE(fromSine) << rate << " Hz rate, sine " << hz;
      EXPECT_NEAR(Cents(*fromSine, hz), 0.0, 0.05) << rate << " Hz rate, sine " << hz;

      const std::vector<double> string = String(hz, rate, rate / 2);
      const std::optional<double> fromString = ReadAt(detector, string, rate, 300);
      ASSERT_TRUE(fromString) << rate << " Hz rate, string " << hz;
      EXPECT_NEAR(Cents(*fromString, hz), 0.0, 0.3) << rate << " Hz rate, string " << hz;
    }
  }
}

TEST(PitchDetector, SilenceNoiseAndTooQuietInputReadNothing) {
  PitchDetector detector;
  const int32_t rate = 44100;
  const auto noise = [&](int32_t amplitude) {
    const std::vector<int16_t> n = test::Noise(amplitude, rate);
    return std::vector<double>(n.begin(), n.end());
  };
  const struct {
    const char* name;
    std::vector<double> signal;
  } inputs[] = {
      {"silence", std::vector<double>(rate, 0.0)},
      {"loud noise", noise(30000)},
      {"quiet noise", noise(300)},
      {"a sine below the quiet level", Harmonics(110, rate, rate, {1.0}, 12)},
      {"a sine below the range", Harmonics(33, rate, rate, {1.0})},
      {"a sine above the range", Harmonics(2600, rate, rate, {1.0})},
  };
  for (const auto& input : inputs) {
    for (const double ms : {100.0, 500.0, 900.0}) {
      EXPECT_FALSE(ReadAt(detector, input.signal, rate, ms)) << input.name << " at " << ms;
    }
  }
  EXPECT_TRUE(ReadAt(detector, Harmonics(110, rate, rate, {1.0}, 40), rate, 500))
      << "a quiet sine above the quiet level";
}

TEST(PitchDetector, AnOffsetChangesNothing) {
  PitchDetector detector;
  const int32_t rate = 48000;
  std::vector<double> tone = String(146.83, rate, rate / 2, 3, 0.2, 4000);
  const std::optional<double> plain = ReadAt(detector, tone, rate, 300);
  for (double& v : tone) v += 9000;
  const std::optional<double> offset = ReadAt(detector, tone, rate, 300);
  ASSERT_TRUE(plain && offset);
  EXPECT_NEAR(*offset, *plain, 1e-6 * *plain);

  std::vector<double> quiet = Harmonics(146.83, rate, rate / 2, {1.0}, 10);
  for (double& v : quiet) v += 20000;
  EXPECT_FALSE(ReadAt(detector, quiet, rate, 300)) << "the offset is no level";
}

// A string whose fundamental has faded under an overtone still sounds at its own pitch;
// a tone that is the overtone alone is read as that.
TEST(PitchDetector, FadedFundamentalsReadAtTheirOwnPitchNotAnOvertone) {
  PitchDetector detector;
  const int32_t rate = 44100;
  const double hz = 146.83;
  const struct {
    const char* name;
    std::vector<double> amplitudes;
    double expected;
  } cases[] = {
      {"second harmonic strongest, odd ones weak", {0.1, 1.0, 0.3, 0.4}, hz},
      {"third harmonic strongest", {0.1, 0.2, 1.0, 0.1, 0.3}, hz},
      {"second harmonic alone", {0.0, 1.0}, 2 * hz},
  };
  for (const auto& c : cases) {
    const std::optional<double> read =
        ReadAt(detector, Harmonics(hz, rate, rate / 2, c.amplitudes), rate, 400);
    ASSERT_TRUE(read) << c.name;
    EXPECT_NEAR(Cents(*read, c.expected), 0.0, 0.05) << c.name;
  }
}

// Plucks that once read an octave or a fifth off, each in a window just after the pluck
// or while the string rang: the attack's noise, a period between two lags of the coarse
// copy, a fundamental fading under the second or third harmonic, and a 192 kHz rate.
TEST(PitchDetector, PlucksThatOnceReadAnotherNoteReadTheirOwn) {
  PitchDetector detector;
  const struct {
    int32_t rate;
    double hz;
    uint32_t seed;
    double pluckPosition;
  } plucks[] = {
      {44100, 82.55, 1004, 0.0},         {44100, 82.55, 7, 0.0},      {44100, 145.90, 1002, 0.2},
      {44100, 146.83 * 0.9857, 98, 0.2}, {44100, 249.09, 1013, 0.1},  {44100, 246.94, 123, 0.2},
      {44100, 329.44, 1018, 0.2},        {192000, 327.16, 1009, 0.0},
  };
  for (const auto& p : plucks) {
    const std::vector<double> string = String(p.hz, p.rate, 2 * p.rate, p.seed, p.pluckPosition);
    for (double ms = 10; ms < 2000; ms += 1000.0 * 2048 / p.rate) {
      const std::optional<double> read = ReadAt(detector, string, p.rate, ms);
      if (read) {
        EXPECT_LT(std::abs(Cents(*read, p.hz)), 50.0)
            << p.hz << " Hz, seed " << p.seed << ", at " << ms << " ms";
      }
    }
  }
}

// Soon after a pluck only part of the window holds the string: read it all the same.
TEST(PitchDetector, ReadsAPluckBeforeTheWindowHasFilled) {
  PitchDetector detector;
  const int32_t rate = 44100;
  const struct {
    double hz;
    double ms;  // of the string in the window, which spans 53 ms
  } cases[] = {{41.20, 44}, {82.41, 30}, {329.63, 15}};
  for (const auto& c : cases) {
    const std::optional<double> read = ReadAt(detector, String(c.hz, rate, rate), rate, c.ms);
    ASSERT_TRUE(read) << c.hz;
    EXPECT_NEAR(Cents(*read, c.hz), 0.0, 2.0) << c.hz;
  }
}

TEST(PitchDetector, RatesOutsideTheRangeReadNothing) {
  PitchDetector detector;
  EXPECT_EQ(PitchDetector::WindowFrames(7999), 0);
  EXPECT_EQ(PitchDetector::WindowFrames(192001), 0);
  EXPECT_GT(PitchDetector::WindowFrames(8000), 2 * 8000 / PitchDetector::kLowestHz);
  const std::vector<double> window(static_cast<size_t>(PitchDetector::WindowFrames(8000)), 1000);
  EXPECT_FALSE(detector.Detect(window.data(), 7999));
}

}  // namespace
}  // namespace ampora
