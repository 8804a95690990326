#include "tuner/note_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ampora {
namespace {

TEST(NoteReading, NamesTheNearestNoteAndTheCents) {
  const struct {
    double hz, a4;
    const char* name;
    double cents;
  } cases[] = {
      {440.0, 440, "A4", 0.0},    {41.2034, 440, "E1", 0.0},  {82.4069, 440, "E2", 0.0},
      {329.628, 440, "E4", 0.0},  {2093.005, 440, "C7", 0.0}, {466.1638, 440, "A#4", 0.0},
      {261.6256, 440, "C4", 0.0}, {246.9417, 440, "B3", 0.0}, {440.0, 442, "A4", -7.85},
      {443.0, 442, "A4", 3.91},   {452.85, 440, "A4", 49.84}, {452.95, 440, "A#4", -49.78},
      {30.8677, 440, "B0", 0.0},  {8.1758, 440, "C-1", 0.0},  {7.7169, 440, "B-2", 0.0},
  };
  for (const auto& c : cases) {
    const NoteReading reading = ReadNote(c.hz, c.a4);
    EXPECT_EQ(NoteName(reading.note), c.name) << c.hz << " Hz against " << c.a4;
    EXPECT_NEAR(reading.cents, c.cents, 0.01) << c.hz << " Hz against " << c.a4;
  }
}

TEST(NoteReading, AReferencePitchOutsideItsRangeIsTheDefault) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float stored, used;
  } cases[] = {{440, 440},    {415, 415}, {466, 466},  {442.5f, 442.5f}, {414.9f, 440},
               {466.1f, 440}, {0, 440},   {-440, 440}, {nan, 440}};
  for (const auto& c : cases) EXPECT_EQ(CheckedTunerA4(c.stored), c.used) << c.stored;
}

}  // namespace
}  // namespace ampora
