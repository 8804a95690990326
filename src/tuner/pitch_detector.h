#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ampora {

// The fundamental frequency of the newest input, for the tuner's reading: a difference
// function in the time domain (the squared differences between the signal and itself one
// candidate period earlier), which a plucked string's strong overtones do not fool the
// way a spectrum's largest peak is fooled.
//
// A coarse pass on a low-passed copy of the window at about 11 kHz finds the candidate
// periods cheaply: the dips where the difference, divided by the mean of those at
// shorter lags, is small. A fit at the full rate then measures each candidate exactly,
// the minimum placed between samples by a parabola through its three smallest values,
// with its residual: the share of the energy that does not repeat after it. The period
// is the shortest candidate that repeats nearly as well as the best, so that two cycles
// never win over one, while a string whose fundamental has faded under an overtone is
// still read at its own pitch rather than an octave or a twelfth above it.
//
// Right after a pluck the window begins with the silence before it; only what follows is
// read, so that most strings are read before the window has filled.
//
// Nothing is allocated after construction; every rate up to kHighestRate fits.
//
// Thread: any, one object per caller.
class PitchDetector {
 public:
  // From a bass's low E (41.2 Hz) 50 cents flat, and some, to above C7.
  static constexpr double kLowestHz = 38.0;
  static constexpr double kHighestHz = 2100.0;
  static constexpr int32_t kLowestRate = 8000;
  static constexpr int32_t kHighestRate = 192000;
  // Below this peak (in 16-bit sample values, about -66 dBFS) the input is too quiet to
  // be read to the cent.
  static constexpr double kQuietPeak = 16.0;
  // Above this residual (see Estimate) the input has no clear pitch.
  static constexpr double kMaxResidual = 0.1;

  PitchDetector();

  // How many of the newest frames Detect looks at: two periods of the lowest pitch and a
  // little more. 0 for a rate outside kLowestRate..kHighestRate.
  static int32_t WindowFrames(int32_t sampleRate);

  struct Estimate {
    double hz;
    // The share of the newest period's energy that the period before it does not repeat:
    // near 0 for a steady tone, up to kMaxResidual for one still read as a pitch.
    double residual;
  };

  // The pitch of window[0 .. WindowFrames(sampleRate) - 1], oldest first; nothing when the
  // window is too quiet, has no clear period in kLowestHz..kHighestHz, or the rate is out
  // of range.
  std::optional<Estimate> Detect(const double* window, int32_t sampleRate);

 private:
  // The part of the window that is read: its newest `length` frames, and the mean of the
  // whole window.
  struct Signal {
    const double* x;
    int32_t length;
    double mean;
  };
  // A period in frames and how much of the signal's energy does not repeat after it: 0 for
  // a steady periodic signal, near 1 for noise.
  struct Fit {
    double period;
    double residual;
  };
  static constexpr int32_t kCandidates = 8;
  // The periods (in frames) at the bottoms of the coarse copy's dips, shortest first;
  // returns how many.
  int32_t CoarseCandidates(const Signal& signal, int32_t sampleRate,
                           std::array<double, kCandidates>& periods);
  // Of the candidates fitted at the full rate, the one that is the period.
  std::optional<Fit> BestFit(const Signal& signal, int32_t margin, int32_t minimumSpan,
                             const std::array<double, kCandidates>& candidates, int32_t count);
  // The window averaged twice over `factor` frames, into smooth_.
  void Smooth(const double* window, int32_t length, int32_t factor);
  // The fit's period, or a part of it that is the period.
  Fit ShortestPeriod(const Signal& signal, int32_t minimumSpan, int32_t factor, const Fit& fit);
  // The period at the full rate, within margin frames of an approximate one, from the
  // newest minimumSpan frames or more.
  std::optional<Fit> FitPeriod(const Signal& signal, int32_t margin, double approximate,
                               int32_t minimumSpan);
  // Over the newest `span` values of the signal: the sum of the squared differences from
  // the values lag before them, and the energy of the values lag before them.
  static double SquaredDifference(const Signal& signal, int32_t span, int32_t lag);
  static double Energy(const Signal& signal, int32_t span, int32_t lag);
  // The squared differences over the newest `span` values of x, at lags first..last, into
  // out[0 ..]: the same values for every lag, so that they compare.
  static void Differences(const float* x, int32_t length, int32_t span, int32_t first, int32_t last,
                          float* out);

  std::vector<float> coarse_;  // the low-passed copy at the coarse rate
  std::vector<float> coarseDiff_;
  // Each coarse difference over the mean of those at shorter lags, lags 1 .. longest.
  std::vector<double> normalised_;
  int32_t normalisedLongest_ = 0;
  std::vector<double> fineDiff_;
  std::vector<double> smooth_;
};

}  // namespace ampora
