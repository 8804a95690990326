#include "tuner/tuner_analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/block_layout.h"
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

TEST(TunerAnalysis, EqualSumsHighlightTheLowerPitch) {
  // 254.2, 257.9 and 261.6 Hz (C) read the same four spectrum indices, so a C always gives
  // the three the same sum, and the half-semitone-flat pitch 0 wins.
  const TunerBinTable bins = BuildTunerBins(kDefaultSampleRate);
  for (size_t j = 0; j < 4; ++j) ASSERT_EQ(bins[j][0], bins[j][2]);
  TunerAnalysis tuner;
  TunerRig rig(tuner, Tone(261.63, 8000.0));
  std::optional<TunerReading> reading;
  for (int32_t a = 0; a < 5; ++a) reading = rig.Analyse();
  ASSERT_TRUE(reading.has_value());
  EXPECT_EQ(tuner.TunerSum()[0], tuner.TunerSum()[2]);
  EXPECT_EQ(tuner.TunerSum()[1], tuner.TunerSum()[2]);
  EXPECT_EQ(reading->found, 0);
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
