#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "audio/frame.h"
#include "effects/fx_param.h"
#include "effects/stage_block.h"
#include "util/error_trap.h"

namespace ampora::test {

// Runs one effect over a mono signal the way the chain does: the signal is written block
// by block into a persistent input ring (both samples of each frame, as after the
// mono-to-stereo step), the effect runs once per block from input ring to output ring,
// and the output frames are collected in order. The rings wrap like the live rings, so
// delay effects see the same history. A last partial block is padded with silence.
//
// run: any callable taking (const StageBlock&).
template <class RunFn>
std::vector<Frame> RunBlocks(const std::vector<int16_t>& signal, int32_t blockLen,
                             int32_t blockCount, RunFn&& run) {
  const int32_t ringLen = blockLen * blockCount;
  std::vector<Frame> in(static_cast<size_t>(ringLen));
  std::vector<Frame> out(static_cast<size_t>(ringLen));
  std::vector<Frame> collected;
  const size_t blocks = (signal.size() + blockLen - 1) / blockLen;
  collected.reserve(blocks * blockLen);
  for (size_t b = 0; b < blocks; ++b) {
    const int32_t start = static_cast<int32_t>(b % blockCount) * blockLen;
    for (int32_t j = 0; j < blockLen; ++j) {
      const size_t n = b * blockLen + j;
      const int16_t s = n < signal.size() ? signal[n] : 0;
      in[start + j] = Frame{s, s};
    }
    run(StageBlock{in.data(), out.data(), ringLen, start, start + blockLen - 1});
    collected.insert(collected.end(), out.begin() + start, out.begin() + start + blockLen);
  }
  collected.resize(signal.size());
  return collected;
}

// Left samples of frames.
std::vector<int16_t> LeftOf(const std::vector<Frame>& frames);
// Left and right samples interleaved, for golden files of stereo effects.
std::vector<int16_t> Interleaved(const std::vector<Frame>& frames);

// A parameter value for randomised tests: mostly inside lo..hi, often just outside,
// sometimes far outside (0, -1, +-10^6, +-10^9, the 32-bit extremes).
int32_t DrawParameter(std::mt19937& rng, int32_t lo, int32_t hi);

// Every parameter row of the effect drawn with DrawParameter from its editor range in the
// catalogue, into fx. Returns whether every value lies inside its range.
bool DrawParameters(std::mt19937& rng, int effect, FxParamTable& fx);

// A random block of input: silence, full-scale extremes, a DC step or noise.
void FillRandomInput(std::mt19937& rng, std::vector<int16_t>& samples);

}  // namespace ampora::test
