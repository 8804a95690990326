#pragma once

#include <cstdint>

#include "audio/sample_rate.h"

// The weights of a one-pole low-pass y[n] = input x x[n] + memory x y[n-1], as the drive
// effects and the reverb keep them (32-bit floats).
//
// Thread: any (pure function).

namespace ampora {

struct OnePoleWeights {
  float input = 0.0f;
  float memory = 0.0f;
};

// Weights chosen for 44100 Hz, moved to sampleRate so that the filter keeps its time
// constant, and so its corner frequency, and its gain at DC: the memory weight (the
// pole) becomes pole^(44100 / sampleRate), and the input weight is scaled by
// (1 - new pole) / (1 - pole). At 44100 Hz the weights come back unchanged. A pole
// outside 0 .. 1 (an unstable or ringing filter from a hand-edited bank) has no corner to
// keep: its weights stay as they are at every rate.
OnePoleWeights OnePoleAtRate(OnePoleWeights atDefaultRate, int32_t sampleRate);

}  // namespace ampora
