#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/frame.h"

// The generated signals of the built-in inputs, each a loop of frames (left = right)
// that plays seamlessly when repeated. Built once when the device opens.

namespace ampora {

// A plucked-string riff in E minor, about 4.5 s, peaks at -12 dBFS.
std::vector<Frame> DemoGuitarRiff(int32_t sampleRate);
// The delay line of a plucked string at this frequency, in whole frames (nearest, ties
// to even).
size_t StringPeriodFrames(double frequency, int32_t sampleRate);
// One second of a 440 Hz sine at -12 dBFS (exactly 440 periods).
std::vector<Frame> TestTone(int32_t sampleRate);

}  // namespace ampora
