#pragma once

#include <array>
#include <cstdint>

#include "tuner/tuner_pitch.h"

namespace ampora {

// Row j, column k: the spectrum index that stands for pitch k in octave row j. The tuner
// analyses the block at half the sample rate, so index b stands for b x sampleRate / 4096
// Hz: row 3 is the pitch itself, row 2 one octave below, row 0 two, row 1 three.
using TunerBinTable = std::array<std::array<int32_t, kTunerPitchCount>, 4>;

// With a = TunerPitch[k] and s = 2048 / sampleRate: row 0 = round(a / 2 x s), row 1 =
// round(a / 4 x s), row 2 = round(a x s), row 3 = round(2 a x s). Neighbouring pitches
// often share indices. Thread: any.
TunerBinTable BuildTunerBins(int32_t sampleRate);

}  // namespace ampora
