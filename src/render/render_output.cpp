#include "render/render_output.h"

#include <cerrno>
#include <cstring>

#include "audio/stream_format.h"
#include "render/render_error.h"

namespace ampora {

RenderOutput::RenderOutput(const std::string& path, int32_t sampleRate) : path_(path) {
  if (!pending_.Create(path)) Fail(std::strerror(errno));
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = Channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  // The descriptor stays with the pending file, which closes it.
  file_.reset(sf_open_fd(pending_.fd(), SFM_WRITE, &info, SF_FALSE));
  if (!file_) Fail(sf_strerror(nullptr));
}

RenderOutput::~RenderOutput() = default;

void RenderOutput::Write(const Frame* frames, int32_t count) {
  static_assert(sizeof(Frame) == 2 * sizeof(short), "a frame is two 16-bit samples");
  const sf_count_t written =
      sf_writef_short(file_.get(), reinterpret_cast<const short*>(frames), count);
  if (written != count) Fail(sf_strerror(file_.get()));
}

void RenderOutput::Commit() {
  // Closing writes the final header sizes.
  if (sf_close(file_.release()) != 0) Fail("the file could not be completed");
  if (!pending_.Commit()) Fail(std::strerror(errno));
}

void RenderOutput::Fail(const std::string& reason) {
  throw RenderError("cannot write " + path_ + ": " + reason);
}

}  // namespace ampora
