#include "tuner/pitch_detector.h"

#include <algorithm>
#include <cmath>

namespace ampora {

namespace {

// The coarse pass runs at about this rate: fast enough for the highest pitch's period to
// span five values, slow enough to cost little.
constexpr int32_t kCoarseRate = 11025;
// A normalised difference below this marks a candidate period (noise stays near 1). The
// coarse copy's lags miss a period by up to half a value, which lifts its dip: the fit at
// the full rate has the last word.
constexpr double kCandidateThreshold = 0.3;
// A part of the period found is fitted when the coarse copy dips below this there.
constexpr double kPartThreshold = 0.6;
// The shortest candidate whose fit repeats nearly as well as the best one is the period:
// within this factor of the best residual, or below kSteadyResidual, which tells a
// steady tone from noise whatever the level of both.
constexpr double kResidualRatio = 4.0;
constexpr double kSteadyResidual = 0.02;
// The fit compares at least 1/100 s of the signal with the period before it: a few
// milliseconds of a pluck's noise can look periodic by chance.
constexpr int32_t kShortestSpanPerSecond = 100;
// Frames quieter than this share of the window's peak before its first louder one are
// the silence before a pluck.
constexpr double kOnsetShare = 1.0 / 32;

// Full-rate frames per coarse value.
int32_t CoarseFactor(int32_t sampleRate) {
  return std::max(1, sampleRate / kCoarseRate);
}

// The longest period looked for, in coarse values, with room for its parabola.
int32_t LongestCoarseLag(int32_t sampleRate) {
  return static_cast<int32_t>(std::ceil(sampleRate / PitchDetector::kLowestHz)) /
             CoarseFactor(sampleRate) +
         2;
}

bool RateInRange(int32_t sampleRate) {
  return sampleRate >= PitchDetector::kLowestRate && sampleRate <= PitchDetector::kHighestRate;
}

// Where the minimum of a parabola through (-1, a), (0, b), (1, c) lies, with b the
// smallest: -0.5 .. 0.5.
double ParabolaMinimum(double a, double b, double c) {
  const double curvature = a - 2.0 * b + c;
  return curvature > 0.0 ? 0.5 * (a - c) / curvature : 0.0;
}

}  // namespace

PitchDetector::PitchDetector() {
  const auto longest = static_cast<size_t>(WindowFrames(kHighestRate));
  coarse_.resize(longest);
  coarseDiff_.resize(longest);
  fineDiff_.resize(longest);
  normalised_.resize(longest);
  smooth_.resize(longest);
}

int32_t PitchDetector::WindowFrames(int32_t sampleRate) {
  if (!RateInRange(sampleRate)) return 0;
  // The difference sums span one longest period, at lags up to one longest period, and
  // the coarse copy's first value needs two groups.
  return (2 * LongestCoarseLag(sampleRate) + 2) * CoarseFactor(sampleRate);
}

void PitchDetector::Differences(const float* x, int32_t length, int32_t span, int32_t first,
                                int32_t last, float* out) {
  // Lag last - r goes to out[r] first: the inner loop then reads x forwards, one sum per
  // lag side by side, which the compiler turns into vector instructions without changing
  // the order of any sum.
  const int32_t count = last - first + 1;
  std::fill(out, out + count, 0.0f);
  for (int32_t j = length - span; j < length; ++j) {
    const float now = x[j];
    const float* past = x + (j - last);
    for (int32_t r = 0; r < count; ++r) {
      const float d = now - past[r];
      out[r] += d * d;
    }
  }
  std::reverse(out, out + count);
}

// Four sums side by side, added up at the end: the compiler keeps them in one vector
// register, and the order of every sum is fixed by the code.
template <class Term>
double SumOfTerms(int32_t first, int32_t end, Term term) {
  std::array<double, 4> sums{};
  int32_t j = first;
  for (; j + 4 <= end; j += 4) {
    for (int32_t k = 0; k < 4; ++k) sums[static_cast<size_t>(k)] += term(j + k);
  }
  for (; j < end; ++j) sums[0] += term(j);
  return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

double PitchDetector::SquaredDifference(const Signal& signal, int32_t span, int32_t lag) {
  const double* x = signal.x;
  return SumOfTerms(signal.length - span, signal.length, [x, lag](int32_t j) {
    const double d = x[j] - x[j - lag];
    return d * d;
  });
}

double PitchDetector::Energy(const Signal& signal, int32_t span, int32_t lag) {
  const double* x = signal.x;
  const double mean = signal.mean;
  return SumOfTerms(signal.length - span, signal.length, [x, mean, lag](int32_t j) {
    const double v = x[j - lag] - mean;
    return v * v;
  });
}

std::optional<PitchDetector::Estimate> PitchDetector::Detect(const double* window,
                                                             int32_t sampleRate) {
  if (!RateInRange(sampleRate)) return std::nullopt;
  const int32_t length = WindowFrames(sampleRate);
  // An offset of the input (a sound card's, or a string's slow settling) is no part of
  // the pitch: the differences ignore it, the level and the residual must too.
  double mean = 0.0;
  for (int32_t i = 0; i < length; ++i) mean += window[i];
  mean /= length;
  double peak = 0.0;
  for (int32_t i = 0; i < length; ++i) peak = std::max(peak, std::abs(window[i] - mean));
  if (peak < kQuietPeak) return std::nullopt;
  // Right after a pluck the window starts with the silence before it: only what follows
  // counts, so that a string is read before the window has filled.
  int32_t start = 0;
  while (std::abs(window[start] - mean) < peak * kOnsetShare) ++start;

  std::array<double, kCandidates> candidates{};
  const int32_t count =
      CoarseCandidates({window + start, length - start, mean}, sampleRate, candidates);
  if (count == 0) return std::nullopt;

  // The fit runs on the signal averaged twice over `factor` frames: the noise above some
  // 5 kHz of a pluck's first moments, gone a few cycles later, is no part of the pitch
  // and would make the tone look unsteady.
  const int32_t factor = CoarseFactor(sampleRate);
  Smooth(window, length, factor);
  // The first values of each pass average frames before the window.
  const int32_t smoothStart = std::max(start, 2 * (factor - 1));
  const Signal smooth{smooth_.data() + smoothStart, length - smoothStart, mean};
  const int32_t minimumSpan = sampleRate / kShortestSpanPerSecond;
  std::optional<Fit> fit = BestFit(smooth, factor + 1, minimumSpan, candidates, count);
  if (!fit || fit->residual > kMaxResidual) return std::nullopt;
  fit = ShortestPeriod(smooth, minimumSpan, factor, *fit);
  const double hz = sampleRate / fit->period;
  if (hz < kLowestHz || hz > kHighestHz) return std::nullopt;
  return Estimate{hz, fit->residual};
}

void PitchDetector::Smooth(const double* window, int32_t length, int32_t factor) {
  const double share = 1.0 / factor;
  double sum = 0.0;
  for (int32_t i = 0; i < length; ++i) {
    sum += window[i] - (i >= factor ? window[i - factor] : 0.0);
    smooth_[static_cast<size_t>(i)] = sum * share;
  }
  // The second pass runs backwards, in place: each mean needs the values before it.
  sum = 0.0;
  for (int32_t i = length - factor; i < length; ++i) sum += smooth_[static_cast<size_t>(i)];
  for (int32_t i = length - 1; i >= 0; --i) {
    const double averaged = sum * share;
    sum += (i >= factor ? smooth_[static_cast<size_t>(i - factor)] : 0.0) -
           smooth_[static_cast<size_t>(i)];
    smooth_[static_cast<size_t>(i)] = averaged;
  }
}

int32_t PitchDetector::CoarseCandidates(const Signal& signal, int32_t sampleRate,
                                        std::array<double, kCandidates>& periods) {
  // Every factor-th frame, the mean of the 2 x factor frames up to it: a low-pass that
  // passes the highest pitch and stops what would fold over at the coarse rate. The
  // inharmonic upper partials of a string's attack are gone with it.
  const int32_t factor = CoarseFactor(sampleRate);
  const int32_t count = signal.length / factor - 1;
  if (count < 1) return 0;
  const double* newest = signal.x + (signal.length - (count + 1) * factor);
  for (int32_t m = 0; m < count; ++m) {
    double sum = 0.0;
    for (int32_t i = 0; i < 2 * factor; ++i) sum += newest[m * factor + i];
    coarse_[static_cast<size_t>(m)] = static_cast<float>(sum / (2 * factor));
  }
  // Soon after a pluck the sums span less than the longest period.
  const int32_t longestLag = std::min(LongestCoarseLag(sampleRate), count * 2 / 3);
  const int32_t shortestLag =
      std::max(2, static_cast<int32_t>(static_cast<double>(sampleRate) / factor / kHighestHz));
  if (longestLag < shortestLag + 2) return 0;
  Differences(coarse_.data(), count, count - longestLag, 1, longestLag, coarseDiff_.data());
  const auto diff = [&](int32_t lag) { return coarseDiff_[static_cast<size_t>(lag - 1)]; };

  // The bottoms of the dips whose difference, over the mean of those at shorter lags,
  // is small: shortest first.
  double running = 0.0;
  for (int32_t t = 1; t <= longestLag; ++t) {
    running += diff(t);
    normalised_[static_cast<size_t>(t)] = running > 0.0 ? diff(t) * t / running : 1.0;
  }
  normalisedLongest_ = longestLag;
  int32_t found = 0;
  for (int32_t t = shortestLag; t < longestLag && found < kCandidates; ++t) {
    if (normalised_[static_cast<size_t>(t)] >= kCandidateThreshold) continue;
    if (diff(t) > diff(t - 1) || diff(t) >= diff(t + 1)) continue;
    periods[static_cast<size_t>(found++)] =
        (t + ParabolaMinimum(diff(t - 1), diff(t), diff(t + 1))) * factor;
  }
  return found;
}

std::optional<PitchDetector::Fit> PitchDetector::BestFit(
    const Signal& signal, int32_t margin, int32_t minimumSpan,
    const std::array<double, kCandidates>& candidates, int32_t count) {
  // The shortest candidate is the period as a rule: a decaying string repeats worse over
  // several cycles than over one. When it repeats badly, the others are fitted too: the
  // shortest one that does nearly as well as the best is the period (a string whose
  // fundamental has faded under an overtone has its first dip at a part of the cycle).
  std::array<std::optional<Fit>, kCandidates> fits{};
  fits[0] = FitPeriod(signal, margin, candidates[0], minimumSpan);
  if (fits[0] && fits[0]->residual <= kSteadyResidual) return fits[0];
  double best = 1.0;
  for (int32_t i = 0; i < count; ++i) {
    const auto c = static_cast<size_t>(i);
    if (i > 0) fits[c] = FitPeriod(signal, margin, candidates[c], minimumSpan);
    if (fits[c]) best = std::min(best, fits[c]->residual);
  }
  const double goodEnough = std::max(best * kResidualRatio, kSteadyResidual);
  for (const std::optional<Fit>& fit : fits) {
    if (fit && fit->residual <= goodEnough) return fit;
  }
  return std::nullopt;
}

PitchDetector::Fit PitchDetector::ShortestPeriod(const Signal& signal, int32_t minimumSpan,
                                                 int32_t factor, const Fit& fit) {
  // A third or a half of it, when that repeats nearly as well. The coarse copy misses a
  // period by up to half a value, which can lift its dip above that of twice the period
  // (at high rates above all); the full rate tells them apart. Parts where the coarse
  // copy has no dip at all are not fitted.
  constexpr int32_t kMargin = 2;  // the fit's period is good to a small part of a frame
  const double goodEnough = std::max(fit.residual * kResidualRatio, kSteadyResidual);
  for (const int32_t part : {3, 2}) {
    const auto lag = static_cast<int32_t>(std::lround(fit.period / part / factor));
    if (lag < 2 || lag >= normalisedLongest_) continue;
    const double dip =
        std::min({normalised_[static_cast<size_t>(lag - 1)], normalised_[static_cast<size_t>(lag)],
                  normalised_[static_cast<size_t>(lag + 1)]});
    if (dip >= kPartThreshold) continue;
    const std::optional<Fit> shorter = FitPeriod(signal, kMargin, fit.period / part, minimumSpan);
    if (shorter && shorter->residual <= goodEnough) return *shorter;
  }
  return fit;
}

std::optional<PitchDetector::Fit> PitchDetector::FitPeriod(const Signal& signal, int32_t margin,
                                                           double approximate,
                                                           int32_t minimumSpan) {
  const auto centre = static_cast<int32_t>(std::lround(approximate));
  const int32_t first = std::max(2, centre - margin);
  const int32_t last = centre + margin;
  const int32_t span = signal.length - last;
  if (span < minimumSpan) return std::nullopt;
  for (int32_t lag = first; lag <= last; ++lag) {
    fineDiff_[static_cast<size_t>(lag - first)] = SquaredDifference(signal, span, lag);
  }
  const auto diff = [&](int32_t lag) { return fineDiff_[static_cast<size_t>(lag - first)]; };
  int32_t best = first;
  for (int32_t t = first + 1; t <= last; ++t) {
    if (diff(t) < diff(best)) best = t;
  }
  // A minimum at the edge lies outside what the coarse pass found.
  if (best == first || best == last) return std::nullopt;

  const double energy = Energy(signal, span, 0) + Energy(signal, span, best);
  if (!(energy > 0.0)) return std::nullopt;
  const double a = diff(best - 1), b = diff(best), c = diff(best + 1);
  const double offset = ParabolaMinimum(a, b, c);
  // The parabola's lowest value, between the lags as the period is.
  const double bottom = std::max(0.0, b - 0.25 * (a - c) * offset);
  return Fit{best + offset, bottom / energy};
}

}  // namespace ampora
