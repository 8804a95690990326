#pragma once

#include <cstdint>
#include <string>

#include "audio/devices/sound_file.h"
#include "audio/frame.h"
#include "util/pending_file.h"

// The output of a render: a 16-bit stereo WAV file at the render's rate. It is written under a
// temporary name beside the output and takes the output's name only at Commit, so a
// render that fails or is interrupted leaves no partial file (and an older file of that
// name as it was).
//
// Thread: the rendering thread.

namespace ampora {

class RenderOutput {
 public:
  // Creates the temporary file; RenderError when the output cannot be written there.
  RenderOutput(const std::string& path, int32_t sampleRate);
  ~RenderOutput();
  RenderOutput(const RenderOutput&) = delete;
  RenderOutput& operator=(const RenderOutput&) = delete;

  // Appends frames; RenderError when the disk refuses them.
  void Write(const Frame* frames, int32_t count);
  // Completes the file and gives it the output's name; RenderError on failure.
  void Commit();

 private:
  [[noreturn]] void Fail(const std::string& reason);

  std::string path_;
  PendingFile pending_;
  SoundFile file_;
};

}  // namespace ampora
