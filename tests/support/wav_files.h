#pragma once

#include <string>
#include <vector>

#include "audio/frame.h"

namespace ampora::test {

// A path in the test's temporary folder, unique to this process.
std::string TempFilePath(const std::string& name);

// Writes 16-bit PCM frames (channels 1: the left samples only) at the given rate.
void WriteWav(const std::string& path, const std::vector<Frame>& frames, int rate = 44100,
              int channels = 2);

// Reads a 16-bit stereo file at the given rate sample for sample.
std::vector<Frame> ReadWav(const std::string& path, int rate = 44100);

// Frames with the left and right samples given.
std::vector<Frame> StereoFrames(const std::vector<int16_t>& left,
                                const std::vector<int16_t>& right);

}  // namespace ampora::test
