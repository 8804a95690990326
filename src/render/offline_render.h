#pragma once

#include <cstdint>
#include <functional>

#include "render/render_options.h"

// The offline renderer: runs a sound file through a bank of the settings file with the
// live program's rings, block loop and ProcessBlock, so that what it writes is what the
// program would play. The capture ring is filled block by block from the input, the
// chain processes each block, and the same block of the play ring goes to the output:
// output frame i is processed input frame i (no added latency). A last partial block is
// padded with silence and cut off again. The settings file is never written.
//
// Thread: any one thread (it uses the settings store, which is not synchronised).

namespace ampora {

struct RenderResult {
  int64_t frames = 0;           // frames written
  double seconds = 0.0;         // wall-clock time the render took
  int32_t blockLen = 0;         // frames per block
  int32_t abandonedBlocks = 0;  // passes an arithmetic error in an effect ended early
};

// Called after every block with the frames done and the frames to do; returning false
// stops the render (which then fails with "interrupted").
using RenderProgress = std::function<bool(int64_t done, int64_t total)>;

// Renders options.input into options.output. Throws RenderError with a message for the
// user when it cannot: the output file then does not exist or is as it was.
RenderResult RenderFile(const RenderOptions& options, const RenderProgress& progress = {});

}  // namespace ampora
