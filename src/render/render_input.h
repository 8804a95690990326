#pragma once

#include <samplerate.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/sound_file.h"

// The input of a render: the left (or only) channel of a sound file as 16-bit samples at
// the render's rate, converted from the file's own rate when it differs. The file is read
// piece by piece, so its length is not limited by memory.
//
// Samples are scaled so that full scale is 32768 and rounded to nearest: a 16-bit file
// at the render's rate arrives sample for sample unchanged.
//
// Thread: the rendering thread.

namespace ampora {

class RenderInput {
 public:
  // Opens the file to be read at sampleRate; RenderError when it cannot be read or has no
  // usable format.
  RenderInput(const std::string& path, int32_t sampleRate);
  ~RenderInput();
  RenderInput(const RenderInput&) = delete;
  RenderInput& operator=(const RenderInput&) = delete;

  // The input's length in frames at the render's rate: the file's length converted to
  // that rate and rounded to nearest.
  int64_t Frames() const { return frames_; }

  // The next count samples; silence after the input's length. RenderError when the file
  // cannot be read on.
  void Read(int16_t* samples, int32_t count);

 private:
  struct ResamplerDeleter {
    void operator()(SRC_STATE* state) const { src_delete(state); }
  };

  // Reads the next chunk of the left channel into left_; the frame count, 0 at the end.
  int64_t ReadLeft();
  // Puts the next converted samples into ready_; false when nothing more comes.
  bool Refill();
  bool RefillResampled();

  std::string path_;
  SoundFile file_;
  std::unique_ptr<SRC_STATE, ResamplerDeleter> resampler_;
  int channels_ = 1;
  int sourceRate_ = 0;
  int32_t sampleRate_ = 0;
  int64_t frames_ = 0;
  int64_t delivered_ = 0;

  std::vector<float> interleaved_;  // one chunk as read from the file
  std::vector<float> left_;         // its left channel
  int64_t leftCount_ = 0;
  int64_t leftUsed_ = 0;  // frames of left_ the converter has taken
  bool sourceEnded_ = false;
  bool converterFlushed_ = false;
  std::vector<float> converted_;
  std::vector<int16_t> ready_;  // samples not yet delivered
  size_t readyPos_ = 0;
};

}  // namespace ampora
