#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/frame.h"
#include "effects/bank_transfer.h"
#include "effects/fx_param.h"

// What the plugin tests compare with: a bank as a player's settings file holds it, a
// guitar-like input, and what ampora-render makes of them.

namespace ampora::test {

struct TestBank {
  FxParamTable fx{};
  BankLevels levels;
};

// Most effects on, away from their defaults, within the editor's ranges: the pitch shifter
// (whose grain is a number of blocks) and an Echo shorter than a block among them.
// withReverb adds the Reverb, whose reflections are drawn from a seed.
TestBank BusyBank(bool withReverb);

// The index of the port with this symbol.
uint32_t PortOf(const std::string& symbol);

// The controls (by port index) set to the bank's rows and levels.
void SetControls(const TestBank& bank, std::vector<float>& controls);

// What a host does: the input through host blocks of the lengths given, over and over,
// each copied into `in` as floats before run(count), the outputs collected as 16-bit
// frames (exact: the plugin's samples are 16-bit values / 32768).
std::vector<Frame> ProcessInBlocks(const std::vector<int16_t>& input,
                                   const std::vector<uint32_t>& blocks, float* in,
                                   const float* left, const float* right,
                                   const std::function<void(uint32_t)>& run);

// The bank as the lines of a section of the settings file, under its header.
std::string SectionText(const std::string& section, const TestBank& bank);

// A plucked string with a little noise, frames long.
std::vector<int16_t> GuitarInput(int32_t frames);

// ampora-render's output for the input through a section of the settings text, at the
// default block length and with the reverb seeded as the plugin seeds it, at a rate.
std::vector<Frame> RenderedReference(const std::string& iniText, const std::string& section,
                                     const std::vector<int16_t>& input, int32_t sampleRate = 44100);

// Both samples of every frame, to compare outputs whole.
std::vector<int32_t> Samples(const std::vector<Frame>& frames);

// Checks that output is reference one block later, silence before (a block: 309 frames
// at 44100).
void ExpectOneBlockLater(const std::vector<Frame>& output, const std::vector<Frame>& reference,
                         int32_t blockLen = 309);

}  // namespace ampora::test
