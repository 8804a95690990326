#include "tuner/tuner_analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/block_layout.h"
#include "support/plucked_string.h"
#include "support/signals.h"
#include "support/tuner_rig.h"

namespace ampora {
namespace {

using test::TunerRig;
constexpr int32_t kA = 38;  // 440 Hz
using Sums = std::array<double, kTunerPitchCount>;

std::vector<int16_t> Tone(double frequency, double amplitude, int32_t blocks = 80) {
  return test::Sine(frequency, amplitude, blocks * kTunerBlockLen);
}

// The analysis recomputed from the signal with a plain DFT: what pitch p adds to its sum
// for the block that starts at frame first, and the block's peak.
struct ModelAnalysis {
  Sums energy{};
  double peak = 0;
};

ModelAnalysis Model(const std::vector<int16_t>& signal, size_t first, double gain,
                    const TunerBinTable& bins) {
  constexpr size_t kN = C_FFT::kPoints;
  static const std::vector<long double> cosines = [] {
    std::vector<long double> table(kN);
    for (size_t m = 0; m < kN; ++m) {
      table[m] = std::cos(2 * std::numbers::pi_v<long double> * static_cast<long double>(m) / kN);
    }
    return table;
  }();
  ModelAnalysis model;
  std::vector<long double> x(kN, 0.0L);
  for (size_t i = 0; i < kTunerBlockLen / 2; ++i) {
    const double v = (signal[first + 2 * i] + signal[first + 2 * i + 1]) * gain / 2;
    x[i] = v;
    x[0] = v;  // index 0 ends with the last value
    model.peak = std::max(model.peak, std::abs(v));
  }
  // Real parts of the spectrum up to index 63, far above the table's highest bin (47);
  // the values from 1024 on are zero.
  std::array<double, 64> re{};
  for (size_t b = 0; b < re.size(); ++b) {
    long double sum = 0;
    for (size_t t = 0; t < kN / 2; ++t) sum += x[t] * cosines[(b * t) % kN];
    re[b] = static_cast<double>(sum);
  }
  for (size_t p = 0; p < kTunerPitchCount; ++p) {
    for (const auto& row : bins) model.energy[p] += std::abs(re.at(static_cast<size_t>(row[p])));
  }
  return model;
}

// The analyses (counted from 1) until one highlights a pitch, or 0 within `analyses`.
int32_t AnalysesUntilHighlight(TunerRig& rig, int32_t analyses, int32_t* found = nullptr) {
  for (int32_t a = 1; a <= analyses; ++a) {
    const std::optional<TunerReading> reading = rig.Analyse();
    if (!reading) continue;
    if (reading->found != -1) {
      if (found != nullptr) *found = reading->found;
      return a;
    }
  }
  return 0;
}

TEST(TunerBins, FollowThePitchesAtTheSampleRate) {
  const TunerBinTable bins = BuildTunerBins(kDefaultSampleRate);
  const std::array<std::array<int32_t, 4>, 3> expected = {{
      {6, 3, 12, 24},   // k = 0
      {10, 5, 20, 41},  // k = 38, 440 Hz
      {12, 6, 23, 47},  // k = 47
  }};
  const std::array<int32_t, 3> pitches = {0, 38, 47};
  for (size_t i = 0; i < pitches.size(); ++i) {
    for (size_t j = 0; j < 4; ++j) {
      EXPECT_EQ(bins[j][static_cast<size_t>(pitches[i])], expected[i][j])
          << "pitch " << pitches[i] << " row " << j;
    }
  }
}

// At another rate a spectrum index stands for other hertz: 440 Hz keeps its bins' pitch.
TEST(TunerBins, FollowTheStreamsRate) {
  struct Case {
    int32_t rate;
    std::array<int32_t, 4> a440;
  };
  for (const Case& c :
       {Case{22050, {20, 10, 41, 82}}, Case{48000, {9, 5, 19, 38}}, Case{96000, {5, 2, 9, 19}}}) {
    TunerAnalysis tuner;
    tuner.SetSampleRate(c.rate);
    const TunerBinTable& bins = tuner.TunerBinIndex();
    for (size_t j = 0; j < 4; ++j) EXPECT_EQ(bins[j][38], c.a440[j]) << c.rate << " row " << j;
    EXPECT_EQ(bins, BuildTunerBins(c.rate));
  }
}

TEST(TunerAnalysis, SilenceHighlightsNothing) {
  TunerAnalysis tuner;
  TunerRig rig(tuner, std::vector<int16_t>(4 * kTunerBlockLen, 0));
  for (int32_t a = 0; a < 70; ++a) {
    const std::optional<TunerReading> reading = rig.Analyse();
    ASSERT_TRUE(reading.has_value()) << "analysis " << a;
    EXPECT_EQ(reading->found, -1);
    EXPECT_EQ(reading->peak, 0.0);
    EXPECT_EQ(reading->hold, 0.0);
  }
  for (double sum : tuner.TunerSum()) EXPECT_EQ(sum, 0.0);
}

// The whole path (capture ring, pairs, gain, transform, bins, 64-analysis history) against
// the model, past the point where the history is full and starts dropping rows.
TEST(TunerAnalysis, SumsFollowAPlainDftOfTheCapturedBlocks) {
  const std::vector<int16_t> signal = Tone(440.0, 300.0);
  const float gain = 1.5f;
  TunerAnalysis tuner;
  TunerRig rig(tuner, signal, gain);
  std::vector<ModelAnalysis> models;
  for (int32_t a = 0; a < 70; ++a) {
    const std::optional<TunerReading> reading = rig.Analyse();
    ASSERT_TRUE(reading.has_value());
    models.push_back(
        Model(signal, static_cast<size_t>(a) * kTunerBlockLen, gain, tuner.TunerBinIndex()));
    EXPECT_DOUBLE_EQ(reading->peak, models.back().peak) << "analysis " << a;
    for (size_t p = 0; p < kTunerPitchCount; ++p) {
      double expected = 0;
      for (size_t r = models.size() > 64 ? models.size() - 64 : 0; r < models.size(); ++r) {
        expected += models[r].energy[p];
      }
      ASSERT_NEAR(tuner.TunerSum()[p], expected, 1e-9 * expected + 1e-6)
          << "analysis " << a << " pitch " << p;
    }
  }
}

TEST(TunerAnalysis, SteadyToneLightsUpOnceItsSumPassesTheThreshold) {
  // A quiet 440 Hz tone: each analysis adds about 1/8 of the threshold to "A".
  const std::vector<int16_t> signal = Tone(440.0, 40.0);
  TunerAnalysis tuner;
  TunerRig rig(tuner, signal);
  Sums model{};
  int32_t expectedCount = 0;
  for (int32_t a = 1; a <= 64 && expectedCount == 0; ++a) {
    const ModelAnalysis m =
        Model(signal, static_cast<size_t>(a - 1) * kTunerBlockLen, 1.0, tuner.TunerBinIndex());
    for (size_t p = 0; p < kTunerPitchCount; ++p) model[p] += m.energy[p];
    if (*std::max_element(model.begin(), model.end()) >= TunerAnalysis::kDetectionThreshold) {
      expectedCount = a;
      EXPECT_EQ(std::max_element(model.begin(), model.end()) - model.begin(), kA);
    }
  }
  ASSERT_GT(expectedCount, 3) << "the tone is meant to take several analyses";

  int32_t found = -1;
  EXPECT_EQ(AnalysesUntilHighlight(rig, 64, &found), expectedCount);
  EXPECT_EQ(found, kA);
  EXPECT_GE(tuner.TunerSum()[kA], TunerAnalysis::kDetectionThreshold);
}

// Pitches that read the same four spectrum values always have equal sums. Of such a
// group the note lights when it has one ("C" and "F" could never light otherwise), else
// the lowest pitch. The tones are strings with overtones, as the tuner expects.
TEST(TunerAnalysis, PitchesReadingTheSameValuesLightTheirNote) {
  struct Case {
    double hz;
    std::vector<int32_t> group;  // the tied pitches, lowest first
    int32_t lit;
  };
  const Case cases[] = {
      {130.81, {0, 1, 2}, 2},      // C, with the dots a half and a quarter semitone below
      {174.61, {20, 21, 22}, 22},  // F
      {136.0, {4, 5}, 4},          // the two dots below C#: no note among them
  };
  const TunerBinTable bins = BuildTunerBins(kDefaultSampleRate);
  for (const Case& c : cases) {
    for (size_t j = 0; j < 4; ++j) {
      for (int32_t p : c.group) ASSERT_EQ(bins[j][p], bins[j][c.group[0]]) << c.hz;
    }
    TunerAnalysis tuner;
    TunerRig rig(tuner, test::Pluck(c.hz, 8000.0, 20 * kTunerBlockLen));
    std::optional<TunerReading> reading;
    for (int32_t a = 0; a < 10; ++a) reading = rig.Analyse();
    ASSERT_TRUE(reading.has_value());
    for (int32_t p : c.group) EXPECT_EQ(tuner.TunerSum()[p], tuner.TunerSum()[c.group[0]]) << c.hz;
    EXPECT_EQ(reading->found, c.lit) << c.hz << " Hz";
  }
}

TEST(TunerAnalysis, InputGainScalesTheSensitivity) {
  // Powers of two scale every value exactly, and so every sum and peak.
  const std::vector<int16_t> signal = Tone(440.0, 40.0);
  TunerAnalysis a, b;
  TunerRig rigA(a, signal, 1.0f);
  TunerRig rigB(b, signal, 2.0f);
  for (int32_t i = 0; i < 3; ++i) {
    const std::optional<TunerReading> ra = rigA.Analyse();
    const std::optional<TunerReading> rb = rigB.Analyse();
    ASSERT_TRUE(ra && rb);
    EXPECT_EQ(rb->peak, 2 * ra->peak);
  }
  for (size_t p = 0; p < kTunerPitchCount; ++p) EXPECT_EQ(b.TunerSum()[p], 2 * a.TunerSum()[p]);
  EXPECT_LT(AnalysesUntilHighlight(rigB, 64), AnalysesUntilHighlight(rigA, 64))
      << "the louder input lights sooner";
}

TEST(TunerAnalysis, HighlightOutlivesTheToneAndTheTunerPeriodUntilPushedOut) {
  TunerAnalysis tuner;  // one for the program's life: it outlives each stream
  {
    TunerRig tone(tuner, Tone(440.0, 8000.0));
    for (int32_t a = 0; a < 20; ++a) ASSERT_TRUE(tone.Analyse().has_value());
  }
  TunerRig silence(tuner, std::vector<int16_t>(4 * kTunerBlockLen, 0));
  std::optional<TunerReading> reading = silence.Analyse();
  ASSERT_TRUE(reading.has_value());
  EXPECT_EQ(reading->found, kA) << "the earlier period still counts after a restart";
  for (int32_t a = 1; a < 64; ++a) reading = silence.Analyse();
  EXPECT_EQ(reading->found, -1) << "64 silent analyses push the tone out";
}

TEST(TunerAnalysis, OnlyWholeTunerBlocksOfTheRingAreAnalysed) {
  TunerAnalysis tuner;
  StreamBuffers tunerRing;
  AllocateRings(tunerRing, kTunerBlockLen, 64);
  tunerRing.CaptureRing[0] = Frame{1000, 0};
  EXPECT_FALSE(tuner.UpdateTuner(tunerRing, -1).has_value());
  EXPECT_FALSE(tuner.UpdateTuner(tunerRing, 64).has_value());
  EXPECT_TRUE(tuner.UpdateTuner(tunerRing, 63).has_value());

  // The normal mode's blocks are shorter than a tuner block: the last ones of the ring
  // would read past its end.
  StreamBuffers normalRing;
  AllocateRings(normalRing, 309, 428);
  const Sums before = tuner.TunerSum();
  EXPECT_FALSE(tuner.UpdateTuner(normalRing, 427).has_value());
  EXPECT_FALSE(tuner.UpdateTuner(StreamBuffers{}, 0).has_value());
  EXPECT_EQ(tuner.TunerSum(), before) << "a refused block leaves the history alone";
}

// A string that rings for 8 s, peaking at `peak`.
std::vector<int16_t> PluckedString(double hz, double peak, int32_t blocks) {
  const std::vector<double> string =
      test::PluckedString{hz, 44100, 1, 0.2, 8.0}.Render(blocks * kTunerBlockLen);
  double largest = 0;
  for (double v : string) largest = std::max(largest, std::abs(v));
  std::vector<int16_t> out;
  for (double v : string) out.push_back(static_cast<int16_t>(std::nearbyint(v * peak / largest)));
  return out;
}

// The played note, read from the capture ring at the full rate against the reference
// pitch: a plucked E2 (MIDI note 40) from its second analysis on, as long as it rings,
// also past the ring's end (64 blocks), where the window reaches back over it.
TEST(TunerAnalysis, ReadsThePlayedNoteAgainstTheReferencePitch) {
  const std::pair<float, double> cases[] = {{440, 0.0}, {442, -7.85}};  // A4, E2's cents
  for (const auto& [a4, expected] : cases) {
    TunerAnalysis tuner;
    TunerRig rig(tuner, PluckedString(82.4069, 16000, 72));
    for (int32_t a = 1; a <= 70; ++a) {
      const std::optional<TunerReading> reading = rig.Analyse(a4);
      ASSERT_TRUE(reading.has_value());
      EXPECT_EQ(reading->a4, a4);
      if (a == 1) {
        EXPECT_FALSE(reading->note) << "a single analysis shows no note";
        continue;
      }
      ASSERT_TRUE(reading->note) << "A4 " << a4 << ", analysis " << a;
      const double cents = 100.0 * (reading->note->note - 40) + reading->note->cents;
      EXPECT_NEAR(cents, expected, 0.3) << "A4 " << a4 << ", analysis " << a;
    }
  }
}

// The note is read at the stream's rate: the same frames taken as 48000 a second sound
// 1200 x log2(48000 / 44100) = 146.8 cents higher.
TEST(TunerAnalysis, ReadsTheNoteAtTheStreamsRate) {
  TunerAnalysis tuner;
  tuner.SetSampleRate(48000);
  TunerRig rig(tuner, PluckedString(82.4069, 16000, 72));
  std::optional<TunerReading> reading;
  for (int32_t a = 0; a < 4; ++a) reading = rig.Analyse();
  ASSERT_TRUE(reading && reading->note);
  const double cents = 100.0 * (reading->note->note - 40) + reading->note->cents;
  EXPECT_NEAR(cents, 1200.0 * std::log2(48000.0 / 44100.0), 0.3);
}

// The input fader scales the note's sensitivity too.
TEST(TunerAnalysis, TheInputGainLiftsAQuietNoteIntoTheReading) {
  const std::vector<int16_t> quiet = Tone(196.0, 10.0, 8);
  for (const float gain : {1.0f, 4.0f}) {
    TunerAnalysis tuner;
    TunerRig rig(tuner, quiet, gain);
    std::optional<TunerReading> reading;
    for (int32_t a = 0; a < 6; ++a) reading = rig.Analyse();
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->note.has_value(), gain > 1.0f) << "gain " << gain;
  }
}

// A restart of the stream brings new rings: what the analysis read before is no longer
// the input, and the first block after it shows no note on its own.
TEST(TunerAnalysis, ARestartedStreamStartsTheNoteAfresh) {
  TunerAnalysis tuner;
  TunerRig rig(tuner, Tone(110.0, 3000.0));
  std::optional<TunerReading> reading;
  for (int32_t a = 0; a < 5; ++a) reading = rig.Analyse();
  ASSERT_TRUE(reading && reading->note);
  rig.Restart();
  reading = rig.Analyse();
  ASSERT_TRUE(reading.has_value());
  EXPECT_FALSE(reading->note);
  reading = rig.Analyse();
  ASSERT_TRUE(reading && reading->note);
  EXPECT_EQ(reading->note->note, 45);
}

TEST(PeakHistory, HoldIsTheLargestOfTheFifteenPeaksBefore) {
  PeakHistory peaks;
  EXPECT_EQ(peaks.Push(500), 0.0) << "the current peak enters the hold one analysis later";
  EXPECT_EQ(peaks.Push(100), 500.0);
  for (int32_t i = 0; i < 14; ++i) EXPECT_EQ(peaks.Push(0), 500.0) << i;
  EXPECT_EQ(peaks.Push(0), 100.0) << "500 was 16 analyses ago";
  EXPECT_EQ(peaks.Push(0), 0.0);

  peaks.Push(32767);
  peaks.Clear();
  EXPECT_EQ(peaks.Push(1), 0.0) << "the transport's clearing forgets every peak";
  EXPECT_EQ(peaks[0], 1.0);
}

}  // namespace
}  // namespace ampora
