#pragma once

#include <cstdint>
#include <string>

// Frequencies as a player reads them: the nearest equal-tempered note, named with its
// octave ("E2", "A4", "C#5"; A4 is the reference pitch), and how far off it is in cents.
//
// Thread: any (constants and pure functions).

namespace ampora {

// The reference pitch A4 in Hz: setting "TunerA4", 415 .. 466, 440 by default.
inline constexpr float kTunerA4Default = 440.0f;
inline constexpr float kTunerA4Min = 415.0f;
inline constexpr float kTunerA4Max = 466.0f;

// A reference pitch as stored: any value outside kTunerA4Min .. kTunerA4Max, or NaN,
// gives the default.
float CheckedTunerA4(float a4);

struct NoteReading {
  int32_t note = 0;    // 69 = A4, 12 notes an octave, 0 = C-1
  double cents = 0.0;  // -50 .. +50, + = sharp

  bool operator==(const NoteReading&) const = default;
};

// The note nearest to hz against the reference pitch a4 (both > 0).
NoteReading ReadNote(double hz, double a4);

// "C-1" .. "G9" for notes 0 .. 127 and beyond: the name with its octave.
std::string NoteName(int32_t note);

}  // namespace ampora
