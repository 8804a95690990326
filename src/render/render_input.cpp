#include "render/render_input.h"

#include <algorithm>

#include "audio/devices/sample_conversion.h"
#include "render/render_error.h"

namespace ampora {

namespace {

constexpr sf_count_t kChunkFrames = 8192;

// frames x sampleRate / rate, rounded to nearest, ties to even.
int64_t FramesAtSampleRate(int64_t frames, int rate, int32_t sampleRate) {
  const int64_t scaled = frames * sampleRate;
  int64_t quotient = scaled / rate;
  const int64_t twice = 2 * (scaled % rate);
  if (twice > rate || (twice == rate && quotient % 2 != 0)) ++quotient;
  return quotient;
}

}  // namespace

RenderInput::RenderInput(const std::string& path, int32_t sampleRate)
    : path_(path), sampleRate_(sampleRate) {
  SF_INFO info{};
  file_.reset(sf_open(path.c_str(), SFM_READ, &info));
  if (!file_) throw RenderError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (!IsReadableFormat(info)) {
    throw RenderError("cannot use " + path + ": " + std::to_string(info.channels) +
                      " channels at " + std::to_string(info.samplerate) + " Hz");
  }
  // Far beyond any real recording (a year of audio), and safe from overflow below.
  if (info.frames < 0 || info.frames > (int64_t{1} << 40)) {
    throw RenderError("cannot use " + path + ": its length is unknown");
  }
  channels_ = info.channels;
  sourceRate_ = info.samplerate;
  frames_ = FramesAtSampleRate(info.frames, info.samplerate, sampleRate_);
  interleaved_.resize(static_cast<size_t>(kChunkFrames * channels_));
  left_.resize(static_cast<size_t>(kChunkFrames));

  if (sourceRate_ != sampleRate_) {
    int code = 0;
    resampler_.reset(src_new(SRC_SINC_BEST_QUALITY, 1, &code));
    if (!resampler_) {
      throw RenderError(std::string("cannot convert the sample rate: ") + src_strerror(code));
    }
    const double ratio = static_cast<double>(sampleRate_) / sourceRate_;
    converted_.resize(static_cast<size_t>(kChunkFrames * ratio) + 64);
  }
}

RenderInput::~RenderInput() = default;

void RenderInput::Read(int16_t* samples, int32_t count) {
  int32_t done = 0;
  while (done < count && delivered_ < frames_) {
    if (readyPos_ == ready_.size()) {
      if (!Refill()) break;
      continue;
    }
    const auto take = static_cast<int32_t>(std::min<int64_t>(
        {count - done, static_cast<int64_t>(ready_.size() - readyPos_), frames_ - delivered_}));
    std::copy_n(ready_.begin() + static_cast<std::ptrdiff_t>(readyPos_), take, samples + done);
    readyPos_ += static_cast<size_t>(take);
    delivered_ += take;
    done += take;
  }
  std::fill(samples + done, samples + count, int16_t{0});
}

int64_t RenderInput::ReadLeft() {
  if (sourceEnded_) return 0;
  const sf_count_t got = sf_readf_float(file_.get(), interleaved_.data(), kChunkFrames);
  if (sf_error(file_.get()) != SF_ERR_NO_ERROR) {
    throw RenderError("cannot read " + path_ + ": " + sf_strerror(file_.get()));
  }
  for (sf_count_t i = 0; i < got; ++i) left_[static_cast<size_t>(i)] = interleaved_[i * channels_];
  if (got <= 0) sourceEnded_ = true;
  return std::max<sf_count_t>(got, 0);
}

bool RenderInput::Refill() {
  ready_.clear();
  readyPos_ = 0;
  if (resampler_) return RefillResampled();
  const int64_t got = ReadLeft();
  for (int64_t i = 0; i < got; ++i) ready_.push_back(FloatToSample(left_[static_cast<size_t>(i)]));
  return got > 0;
}

bool RenderInput::RefillResampled() {
  if (converterFlushed_) return false;
  if (leftUsed_ == leftCount_) {
    leftCount_ = ReadLeft();
    leftUsed_ = 0;
  }
  SRC_DATA data{};
  data.data_in = left_.data() + leftUsed_;
  data.input_frames = static_cast<long>(leftCount_ - leftUsed_);
  data.data_out = converted_.data();
  data.output_frames = static_cast<long>(converted_.size());
  data.end_of_input = sourceEnded_ ? 1 : 0;
  data.src_ratio = static_cast<double>(sampleRate_) / sourceRate_;
  if (const int code = src_process(resampler_.get(), &data); code != 0) {
    throw RenderError(std::string("cannot convert the sample rate: ") + src_strerror(code));
  }
  leftUsed_ += data.input_frames_used;
  if (sourceEnded_ && data.output_frames_gen == 0) converterFlushed_ = true;
  for (long i = 0; i < data.output_frames_gen; ++i) {
    ready_.push_back(FloatToSample(converted_[static_cast<size_t>(i)]));
  }
  // A call may take input without giving output yet; the caller asks again.
  return !converterFlushed_;
}

}  // namespace ampora
