#include "render/offline_render.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "audio/block_layout.h"
#include "audio/stream_buffers.h"
#include "effects/effect_chain.h"
#include "effects/reverb.h"
#include "live/banks.h"
#include "live/level_fader.h"
#include "live/levels.h"
#include "render/render_bank.h"
#include "render/render_error.h"
#include "render/render_input.h"
#include "render/render_output.h"
#include "settings/settings_batch.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// True when both paths name one existing file (also through links or other spellings).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat infoA {};
  struct stat infoB {};
  return stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0 &&
         infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

// The rings sized as InitStream sizes them for this block length and rate.
void AllocateForBlockMs(StreamBuffers& stream, float blockMs, int32_t sampleRate) {
  const float bufferMs = ClampSetting(blockMs, kBufferMsMin, kBufferMsMax, kBufferMsDefault);
  const BlockLayout layout =
      ComputeBlockLayout(bufferMs, kDelayMinMsDefault, kDelayMaxMsDefault, false, sampleRate);
  AllocateRings(stream, layout.BlockLen, layout.BlockCount);
}

}  // namespace

RenderResult RenderFile(const RenderOptions& options, const RenderProgress& progress) {
  const auto began = std::chrono::steady_clock::now();
  RenderInput input(options.input, options.sampleRate);
  if (SameFile(options.input, options.output)) {
    throw RenderError(options.output + " is the input file; choose another output");
  }
  if (SameFile(options.iniFile, options.output)) {
    throw RenderError(options.output + " is the settings file; choose another output");
  }

  StreamBuffers stream;
  EffectChain chain(stream);
  FaderModel inFader(true);
  FaderModel outFader;
  Levels levels(inFader, outFader, stream);
  {
    ReadOnlySettings readOnly;
    CheckBankSection(options.iniFile, options.section);
    AllocateForBlockMs(stream, options.blockMs.value_or(BufferMsSetting(options.iniFile)),
                       options.sampleRate);
    chain.SetSampleRate(options.sampleRate);
    chain.InitEffectTables();
    if (Reverb* reverb = chain.FindUnit<Reverb>(kReverb); reverb != nullptr && options.seed) {
      reverb->UseRandomSource(std::make_unique<TwisterRandom>(*options.seed));
    }
    LoadBankSection(chain, levels, options.section, options.iniFile);
  }

  RenderOutput output(options.output, options.sampleRate);
  const int64_t total = input.Frames() + RoundInt32(options.tailSeconds * options.sampleRate);
  const int32_t blockLen = stream.BlockLen;
  std::vector<int16_t> samples(static_cast<size_t>(blockLen));
  RenderResult result;
  result.blockLen = blockLen;
  for (int64_t done = 0, block = 0; done < total; done += blockLen, ++block) {
    const int32_t start = static_cast<int32_t>(block % stream.BlockCount) * blockLen;
    input.Read(samples.data(), blockLen);
    // The chain reads only the left sample of a captured frame.
    for (int32_t j = 0; j < blockLen; ++j) stream.CaptureRing[start + j] = Frame{samples[j], 0};
    if (chain.ProcessBlock(start, start + blockLen - 1) == 0) ++result.abandonedBlocks;
    const auto count = static_cast<int32_t>(std::min<int64_t>(blockLen, total - done));
    output.Write(&stream.PlayRing[start], count);
    result.frames += count;
    if (progress && !progress(result.frames, total)) throw RenderError("interrupted");
  }
  output.Commit();
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  return result;
}

}  // namespace ampora
