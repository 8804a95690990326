// How well the tuner reads sines and plucked strings, through the real path (the built-in
// file input, the capture ring in tuner mode, the poll and the analysis). Prints Markdown
// tables:
// - which label the row of 48 pitches lights for the open strings of a guitar in
//   standard tuning, in tune and 10, 25 and 50 cents off, and after how many analyses,
//   and for strings tuned to C and F;
// - how close the note and cents come for the guitar's strings, a low B and a bass's low
//   E, in tune and 1 to 25 cents off, and how soon after the pluck the reading is steady;
// - that silence and noise show no note.
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
#include "support/plucked_string.h"
#include "support/signals.h"
#include "support/tuner_rig.h"
#include "tuner/note_reading.h"
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

std::string Fixed(double value, int digits) {
  std::ostringstream text;
  text.setf(std::ios::fixed);
  text.precision(digits);
  text << value;
  return text.str();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
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
      const Result pluck =
          Measure(Scaled(test::PluckedString{hz, kDefaultSampleRate, seed++}.Render(frames), peak));
      std::ostringstream row;
      row << "| " << s.name << " | " << (cents > 0 ? "+" : "") << cents << " | " << Fixed(hz, 2)
          << " | " << Describe(NearestPitch(hz)) << " | " << Summary(sine) << " | "
          << Summary(pluck) << " |\n";
      std::cout << row.str();
    }
  }
}

// The strings tuned to C and F, which share their spectrum values with the dots below
// them, in tune at -12 dBFS: the labels they light.
void PrintCAndFTable() {
  constexpr OpenString kCAndF[] = {{"C2", 65.41}, {"C3", 130.81}, {"C4", 261.63},
                                   {"F2", 87.31}, {"F3", 174.61}, {"F4", 349.23}};
  const int32_t frames = (kAnalyses + 1) * kTunerBlockLen;
  std::cout << "\nStrings tuned to C and F, peak -12 dBFS:\n\n"
            << "| string | Hz | sine | plucked string |\n|---|---|---|---|\n";
  uint32_t seed = 1;
  for (const OpenString& s : kCAndF) {
    const Result sine = Measure(Scaled(Sine(s.hz, frames), kLoudPeak));
    const Result pluck = Measure(
        Scaled(test::PluckedString{s.hz, kDefaultSampleRate, seed++}.Render(frames), kLoudPeak));
    std::cout << "| " << s.name << " | " << Fixed(s.hz, 2) << " | " << Summary(sine) << " | "
              << Summary(pluck) << " |\n";
  }
}

// Pitches whose four spectrum indices are all the same always have equal sums; the note
// among them is the one lit, or the lowest when there is none.
void PrintTies() {
  const TunerBinTable bins = TunerAnalysis().TunerBinIndex();
  std::cout << "\nPitches that read the same four spectrum indices (the note among them is"
            << " lit, else the first; the others never):\n\n";
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

// The note and cents read for a tone plucked after a silence, one analysis per block.
struct NoteRun {
  double steadyMs = -1;     // from the pluck to the end of the block from whose analysis on
                            // every reading is right for a second; -1 = never
  double worstCents = 0;    // the largest error of any reading from then on
  double lastReadingS = 0;  // when the last reading came, after the pluck
  int32_t wrongNotes = 0;   // readings of another note (an octave, a fifth), at any time
};

constexpr double kSilenceBeforeS = 0.5;
constexpr double kToneS = 3.0;
constexpr double kSteadyForS = 1.0;
constexpr int32_t kOnsetsPerBlock = 4;  // plucks at four places within a block
constexpr double kPluckPosition = 0.2;  // a fifth of the string from the bridge
constexpr int kNoteCents[] = {0, 1, -3, 10, -25};
constexpr OpenString kNoteStrings[] = {{"E1", 41.20},  {"B1", 61.74},  {"E2", 82.41},
                                       {"A2", 110.00}, {"D3", 146.83}, {"G3", 196.00},
                                       {"B3", 246.94}, {"E4", 329.63}};

NoteRun MeasureNote(const std::vector<int16_t>& tone, double hz, int32_t onset, double tolerance) {
  const int32_t pluck = static_cast<int32_t>(kSilenceBeforeS * kDefaultSampleRate) + onset;
  std::vector<int16_t> signal(static_cast<size_t>(pluck), 0);
  signal.insert(signal.end(), tone.begin(), tone.end());
  const int32_t analyses = static_cast<int32_t>(signal.size()) / kTunerBlockLen;

  TunerAnalysis tuner;
  test::TunerRig rig(tuner, signal);
  const NoteReading truth = ReadNote(hz, kTunerA4Default);
  struct Analysis {
    double afterPluckS;
    std::optional<double> error;  // cents from the truth
  };
  std::vector<Analysis> after;  // the analyses of blocks that end after the pluck
  NoteRun run;
  for (int32_t a = 1; a <= analyses; ++a) {
    const std::optional<TunerReading> reading = rig.Analyse();
    std::optional<double> error;
    if (reading && reading->note) {
      error = 100.0 * (reading->note->note - truth.note) + reading->note->cents - truth.cents;
      if (std::abs(*error) >= 50) ++run.wrongNotes;
    }
    const double afterPluckS = static_cast<double>(a * kTunerBlockLen - pluck) / kDefaultSampleRate;
    if (afterPluckS <= 0) continue;
    after.push_back({afterPluckS, error});
    if (error) run.lastReadingS = afterPluckS;
  }
  const auto good = [&](const Analysis& x) { return x.error && std::abs(*x.error) <= tolerance; };
  // Steady: right in every analysis for a second, or until the string has faded too far
  // to be read at all.
  const double holdUntilS = std::min(kSteadyForS, run.lastReadingS);
  for (size_t i = 0; i < after.size() && run.steadyMs < 0; ++i) {
    bool holds = true;
    for (size_t j = i; j < after.size() && after[j].afterPluckS <= holdUntilS; ++j) {
      holds = holds && good(after[j]);
    }
    if (!holds) continue;
    run.steadyMs = after[i].afterPluckS * 1000;
    for (size_t j = i; j < after.size(); ++j) {
      if (after[j].error) run.worstCents = std::max(run.worstCents, std::abs(*after[j].error));
    }
  }
  return run;
}

void PrintNoteTable(double peak, const char* level) {
  const auto frames = static_cast<int32_t>(kToneS * kDefaultSampleRate);
  std::cout << "\nPeak " << level << ": the largest error of the reading (cents) once it is"
            << " steady, for tones " << kNoteCents[1] << ", " << kNoteCents[2] << ", ... cents"
            << " off, each plucked at " << kOnsetsPerBlock << " places within a block; when"
            << " the reading is steady after the pluck (median and worst), when the last"
            << " reading came (median) and how many readings named another note:\n\n"
            << "| string | Hz | signal | in tune";
  for (size_t c = 1; c < std::size(kNoteCents); ++c) {
    std::cout << " | " << (kNoteCents[c] > 0 ? "+" : "") << kNoteCents[c];
  }
  std::cout << " | steady after, ms | last reading, s | other notes |\n|---|---|---|---";
  for (size_t c = 1; c < std::size(kNoteCents); ++c) std::cout << "|---";
  std::cout << "|---|---|---|\n";
  uint32_t seed = 1;
  for (const OpenString& s : kNoteStrings) {
    for (const bool plucked : {true, false}) {
      std::ostringstream row;
      row << "| " << s.name << " | " << Fixed(s.hz, 2) << " | " << (plucked ? "plucked" : "sine");
      std::vector<double> steady, last;
      int32_t wrong = 0;
      bool everSteady = true;
      for (const int cents : kNoteCents) {
        const double hz = s.hz * std::pow(2.0, cents / 1200.0);
        double worst = 0;
        for (int32_t o = 0; o < kOnsetsPerBlock; ++o) {
          const std::vector<double> tone =
              plucked ? test::PluckedString{hz, kDefaultSampleRate, seed++, kPluckPosition}.Render(
                            frames)
                      : Sine(hz, frames);
          const NoteRun run = MeasureNote(
              Scaled(tone, peak), hz, o * kTunerBlockLen / kOnsetsPerBlock, plucked ? 1.0 : 0.2);
          everSteady = everSteady && run.steadyMs >= 0;
          worst = std::max(worst, run.worstCents);
          if (run.steadyMs >= 0) steady.push_back(run.steadyMs);
          last.push_back(run.lastReadingS);
          wrong += run.wrongNotes;
        }
        row << " | " << Fixed(worst, 2);
      }
      row << " | ";
      if (!steady.empty()) {
        row << Fixed(Median(steady), 0) << ", "
            << Fixed(*std::max_element(steady.begin(), steady.end()), 0);
      }
      if (!everSteady) row << (steady.empty() ? "" : "; ") << "not always steady";
      row << " | " << Fixed(Median(last), 1) << " | " << wrong << " |\n";
      std::cout << row.str();
    }
  }
}

// Silence and white noise, 6 s each: how many analyses show a note.
void PrintNoiseTable() {
  constexpr int32_t kAnalysesOfNoise = 128;
  const int32_t frames = (kAnalysesOfNoise + 1) * kTunerBlockLen;
  std::cout << "\nNotes shown in " << kAnalysesOfNoise << " analyses:\n\n"
            << "| input | notes shown |\n|---|---|\n";
  const struct {
    const char* name;
    std::vector<int16_t> signal;
  } inputs[] = {
      {"silence", std::vector<int16_t>(static_cast<size_t>(frames), 0)},
      {"white noise, peak -12 dBFS", test::Noise(static_cast<int32_t>(kLoudPeak), frames)},
      {"white noise, peak -40 dBFS", test::Noise(static_cast<int32_t>(kQuietPeak), frames)},
  };
  for (const auto& input : inputs) {
    TunerAnalysis tuner;
    test::TunerRig rig(tuner, input.signal);
    int32_t shown = 0;
    for (int32_t a = 0; a < kAnalysesOfNoise; ++a) {
      const std::optional<TunerReading> reading = rig.Analyse();
      if (reading && reading->note) ++shown;
    }
    std::cout << "| " << input.name << " | " << shown << " |\n";
  }
}

}  // namespace
}  // namespace ampora

int main() {
  ampora::PrintTies();
  ampora::PrintTable(ampora::kLoudPeak, "-12 dBFS");
  ampora::PrintTable(ampora::kQuietPeak, "-40 dBFS");
  ampora::PrintCAndFTable();
  ampora::PrintNoteTable(ampora::kLoudPeak, "-12 dBFS");
  ampora::PrintNoteTable(ampora::kQuietPeak, "-40 dBFS");
  ampora::PrintNoiseTable();
  return 0;
}
