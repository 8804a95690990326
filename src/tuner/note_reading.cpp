#include "tuner/note_reading.h"

#include <cmath>

#include "util/rounding.h"

namespace ampora {

namespace {
constexpr int32_t kA4Note = 69;
}  // namespace

float CheckedTunerA4(float a4) {
  return a4 >= kTunerA4Min && a4 <= kTunerA4Max ? a4 : kTunerA4Default;
}

NoteReading ReadNote(double hz, double a4) {
  const double fromA4 = 12.0 * std::log2(hz / a4);
  const int32_t note = RoundInt32(fromA4);
  return {kA4Note + note, 100.0 * (fromA4 - note)};
}

std::string NoteName(int32_t note) {
  static const char* const kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                         "F#", "G",  "G#", "A",  "A#", "B"};
  const int32_t octave = (note >= 0 ? note / 12 : (note - 11) / 12) - 1;
  const int32_t name = note - (octave + 1) * 12;
  return kNames[name] + std::to_string(octave);
}

}  // namespace ampora
