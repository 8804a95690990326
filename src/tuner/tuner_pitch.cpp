#include "tuner/tuner_pitch.h"

#include "util/ui_text.h"

namespace ampora {

const std::array<float, kTunerPitchCount> TunerPitch = {
    254.2f, 257.9f, 261.6f, 265.5f, 269.3f, 273.2f, 277.0f, 281.2f,  // C, C#
    285.3f, 289.5f, 293.6f, 298.0f, 302.3f, 306.7f, 311.0f, 315.7f,  // D, D#
    320.3f, 325.0f, 329.6f, 334.6f, 340.0f, 344.6f, 349.2f, 354.4f,  // E, F
    360.0f, 365.0f, 370.0f, 375.5f, 381.0f, 386.5f, 392.0f, 397.8f,  // F#, G
    403.7f, 409.5f, 415.3f, 421.5f, 427.6f, 433.8f, 440.0f, 446.5f,  // G#, A
    453.0f, 459.5f, 466.0f, 473.0f, 479.9f, 486.9f, 493.8f, 501.2f,  // A#, B
};

std::string TunerLabel(int32_t p) {
  static const char* const kNotes[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                         "F#", "G",  "G#", "A",  "A#", "B"};
  if (p < 0 || p >= kTunerPitchCount) return {};
  return IsTunerNote(p) ? kNotes[p / 4] : UiText("Tuner", "・");
}

}  // namespace ampora
