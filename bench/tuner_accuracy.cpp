// Which label the tuner lights for the open strings of a guitar in standard tuning, in
// tune and 10, 25 and 50 cents off, and after how many analyses: sines and plucked
// strings through the real path (the built-in file input, the capture ring in tuner mode,
// the poll and the analysis). Prints Markdown tables.
//
//   build/normal/bench/tuner_accuracy

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "audio/block_layout.h"
#include "audio/stream_format.h"
#include "support/tuner_rig.h"
#include "tuner/tuner_analysis.h"
#include "tuner/tuner_pitch.h"

namespace ampora {
namespace {

constexpr int32_t kAnalyses = 128;  // about 6 s at 2048 frames each
constexpr double kLoudPeak = 8231;  // -12 dBFS
constexpr double kQuietPeak = 328;  // -40 dBFS

struct OpenString {
  const char* name;
  double hz;
};
constexpr OpenString kStrings[] = {{"E2", 82.41},  {"A2", 110.00}, {"D3", 146.83},
                                   {"G3", 196.00}, {"B3", 246.94}, {"E4", 329.63}};
constexpr int kCents[] = {-50, -25, -10, 0, 10, 25, 50};

std::vector<int16_t> Scaled(const std::vector<double>& signal, double peak) {
  double largest = 0;
  for (double v : signal) largest = std::max(largest, std::abs(v));
  std::vector<int16_t> out(signal.size());
  for (size_t i = 0; i < signal.size(); ++i) {
    out[i] = static_cast<int16_t>(std::nearbyint(signal[i] * peak / largest));
  }
  return out;
}

std::vector<double> Sine(double hz, int32_t frames) {
  std::vector<double> out(static_cast<size_t>(frames));
  for (size_t n = 0; n < out.size(); ++n) {
    out[n] = std::sin(2 * M_PI * hz * static_cast<double>(n) / kDefaultSampleRate);
  }
  return out;
}

// A plucked string: a noise burst circulating in a loop of one period (Karplus-Strong)
// through a two-point average, with a first-order allpass for the fraction of a sample
// that tunes it exactly, and a loss that lets it ring for about 4 s (60 dB).
std::vector<double> Pluck(double hz, int32_t frames, uint32_t seed) {
  const double period = kDefaultSampleRate / hz;
  const auto length = static_cast<size_t>(std::floor(period - 0.6));  // allpass delay 0.1..1.1
  const double fraction = period - 0.5 - static_cast<double>(length);
  const double c = (1 - fraction) / (1 + fraction);
  const double loss = std::pow(10.0, -3.0 / (4.0 * hz));
  std::vector<double> line(length);
  uint32_t state = seed;
  for (double& v : line) {
    state = state * 1664525u + 1013904223u;
    v = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
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

// Pitch p as a note and its offset in quarter semitones: "A", "A-1/4", "A+1/4", "A-1/2".
std::string Describe(int32_t p) {
  if (p < 0) return "-";
  const std::string note = TunerLabel(p - p % 4 + 2);
  switch (p % 4) {
    case 0:
      return "·" + note + "−½";
    case 1:
      return "·" + note + "−¼";
    case 3:
      return "·" + note + "+¼";
    default:
      return note;
  }
}

struct Result {
  int32_t firstAnalysis = 0;  // 0 = never lit
  int32_t firstPitch = -1;
  std::map<int32_t, int32_t> litCount;  // pitch -> analyses it was lit in
};

Result Measure(const std::vector<int16_t>& signal) {
  TunerAnalysis tuner;  // fresh: no earlier tuner period in the history
  test::TunerRig rig(tuner, signal);
  Result result;
  for (int32_t a = 1; a <= kAnalyses; ++a) {
    const std::optional<TunerReading> reading = rig.Analyse();
    if (!reading || reading->found < 0) continue;
    if (result.firstAnalysis == 0) {
      result.firstAnalysis = a;
      result.firstPitch = reading->found;
    }
    ++result.litCount[reading->found];
  }
  return result;
}

// The pitch of the table nearest to hz folded into its octave (254.2 .. 501.2 Hz), in
// cents: the label a perfect reading would light.
int32_t NearestPitch(double hz) {
  while (hz < TunerPitch.front() * 0.99) hz *= 2;
  int32_t best = 0;
  for (int32_t p = 1; p < kTunerPitchCount; ++p) {
    if (std::abs(std::log2(hz / TunerPitch[static_cast<size_t>(p)])) <
        std::abs(std::log2(hz / TunerPitch[static_cast<size_t>(best)]))) {
      best = p;
    }
  }
  return best;
}

// "E 94, ·E−¼ 15 (from 1)": the label lit in most of the analyses and how many, any
// other label lit in at least a tenth of them, and the first analysis that lit anything.
std::string Summary(const Result& r) {
  if (r.firstAnalysis == 0) return "nothing";
  std::vector<std::pair<int32_t, int32_t>> byCount;  // (analyses, pitch)
  for (const auto& [pitch, count] : r.litCount) byCount.emplace_back(count, pitch);
  std::sort(byCount.rbegin(), byCount.rend());
  std::ostringstream text;
  for (size_t i = 0; i < byCount.size(); ++i) {
    if (i > 0 && byCount[i].first < kAnalyses / 10) break;
    text << (i > 0 ? ", " : "") << Describe(byCount[i].second) << " " << byCount[i].first;
  }
  text << " (from " << r.firstAnalysis << ")";
  return text.str();
}

void PrintTable(double peak, const char* level) {
  const int32_t frames = (kAnalyses + 1) * kTunerBlockLen;
  std::cout << "\nPeak " << level << ". Labels lit, with the number of the " << kAnalyses
            << " analyses that lit them (those lit in at least a tenth), and the first"
            << " analysis that lit any:\n\n"
            << "| string | cents | Hz | nearest pitch | sine | plucked string |\n"
            << "|---|---|---|---|---|---|\n";
  uint32_t seed = 1;
  for (const OpenString& s : kStrings) {
    for (const int cents : kCents) {
      const double hz = s.hz * std::pow(2.0, cents / 1200.0);
      const Result sine = Measure(Scaled(Sine(hz, frames), peak));
      const Result pluck = Measure(Scaled(Pluck(hz, frames, seed++), peak));
      std::ostringstream row;
      row.setf(std::ios::fixed);
      row.precision(2);
      row << "| " << s.name << " | " << (cents > 0 ? "+" : "") << cents << " | " << hz << " | "
          << Describe(NearestPitch(hz)) << " | " << Summary(sine) << " | " << Summary(pluck)
          << " |\n";
      std::cout << row.str();
    }
  }
}

// Pitches whose four spectrum indices are all the same always have equal sums; the lowest
// of them is the one lit.
void PrintTies() {
  const TunerBinTable bins = TunerAnalysis().TunerBinIndex();
  std::cout << "\nPitches that read the same four spectrum indices (the first is lit, the"
            << " others never):\n\n";
  for (int32_t p = 0; p < kTunerPitchCount;) {
    int32_t q = p + 1;
    const auto same = [&](int32_t a, int32_t b) {
      for (const auto& row : bins) {
        if (row[static_cast<size_t>(a)] != row[static_cast<size_t>(b)]) return false;
      }
      return true;
    };
    while (q < kTunerPitchCount && same(p, q)) ++q;
    if (q - p > 1) {
      std::cout << "-";
      for (int32_t i = p; i < q; ++i) std::cout << " " << Describe(i);
      std::cout << "\n";
    }
    p = q;
  }
}

}  // namespace
}  // namespace ampora

int main() {
  ampora::PrintTies();
  ampora::PrintTable(ampora::kLoudPeak, "-12 dBFS");
  ampora::PrintTable(ampora::kQuietPeak, "-40 dBFS");
  return 0;
}
