#pragma once

#include <array>
#include <cstdint>
#include <string>

// The 48 pitches of the tuner: one octave from a half semitone below C to a quarter
// semitone above B (254.2 .. 501.2 Hz), four per semitone. Entry 4s + 2 is the
// equal-tempered note s (0 = C .. 11 = B), entries 4s and 4s + 1 lie a half and a quarter
// semitone below it, 4s + 3 a quarter above.
//
// Thread: any (constants and a pure function).

namespace ampora {

inline constexpr int32_t kTunerPitchCount = 48;

// Hz, as 32-bit floats.
extern const std::array<float, kTunerPitchCount> TunerPitch;

// Whether pitch p is one of the 12 notes (not a quarter or half semitone off).
inline bool IsTunerNote(int32_t p) {
  return p % 4 == 2;
}

// The label of pitch p on the display: the note name ("C", "C#" .. "B") for the 12 notes,
// "・" for every pitch in between; empty outside 0..47.
std::string TunerLabel(int32_t p);

}  // namespace ampora
