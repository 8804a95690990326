#include "tuner/pitch_tracker.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace ampora {
namespace {

// The estimates of successive analyses (0 = none) and what is shown after each (0 =
// nothing).
struct Script {
  const char* name;
  std::vector<double> estimates;
  std::vector<double> shown;
};

void Play(const Script& script) {
  PitchTracker tracker;
  ASSERT_EQ(script.estimates.size(), script.shown.size()) << script.name;
  for (size_t i = 0; i < script.estimates.size(); ++i) {
    const double hz = script.estimates[i];
    const std::optional<double> shown =
        tracker.Next(hz > 0 ? std::optional(PitchDetector::Estimate{hz, 0.01}) : std::nullopt);
    EXPECT_DOUBLE_EQ(shown.value_or(0.0), script.shown[i]) << script.name << ", analysis " << i;
  }
}

TEST(PitchTracker, ShowsANoteOnceTwoAnalysesAgree) {
  const Script scripts[] = {
      {"one estimate alone shows nothing", {110, 0, 110, 0}, {0, 0, 0, 0}},
      {"the second agreeing one shows the newer", {110, 110.2, 0}, {0, 110.2, 0}},
      {"estimates a semitone apart are two notes", {110, 116.5, 116.6}, {0, 0, 116.6}},
      {"a pluck's stray first estimate is not shown", {220, 110, 110}, {0, 0, 110}},
  };
  for (const Script& s : scripts) Play(s);
}

// Once a note is shown, the median of its last three estimates keeps one stray value off
// the needle.
TEST(PitchTracker, TheMedianOfThreeSteadiesTheReading) {
  Play({"median", {110, 110.1, 111, 110.2, 110.3}, {0, 110.1, 110.1, 110.2, 110.3}});
}

// A string whose fundamental fades under its second harmonic must not jump an octave:
// while the note is shown, or was a moment ago, an estimate of it in another octave is
// that note.
TEST(PitchTracker, AShownNoteKeepsItsOctave) {
  const Script scripts[] = {
      {"an octave up", {110, 110, 220.4, 220.2}, {0, 110, 110, 110.1}},
      {"two octaves down", {440, 440, 110}, {0, 440, 440}},
      {"after a gap of a few analyses", {110, 110, 0, 0, 220}, {0, 110, 0, 0, 110}},
      {"not after a longer gap", {110, 110, 0, 0, 0, 220, 220}, {0, 110, 0, 0, 0, 0, 220}},
      {"another note is no octave", {110, 110, 164.8, 164.8}, {0, 110, 0, 164.8}},
  };
  for (const Script& s : scripts) Play(s);
}

TEST(PitchTracker, ClearForgetsTheNote) {
  PitchTracker tracker;
  const PitchDetector::Estimate a{110, 0.01};
  tracker.Next(a);
  ASSERT_TRUE(tracker.Next(a));
  tracker.Clear();
  EXPECT_FALSE(tracker.Next(PitchDetector::Estimate{220, 0.01})) << "no octave kept";
}

}  // namespace
}  // namespace ampora
