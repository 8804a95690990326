#include "support/wav_files.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

namespace ampora::test {

std::string TempFilePath(const std::string& name) {
  return ::testing::TempDir() + "ampora-" + std::to_string(getpid()) + "-" + name;
}

void WriteWav(const std::string& path, const std::vector<Frame>& frames, int rate, int channels) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<short> samples;
  for (const Frame& f : frames) {
    samples.push_back(f.left);
    if (channels == 2) samples.push_back(f.right);
  }
  sf_writef_short(file, samples.data(), static_cast<sf_count_t>(frames.size()));
  sf_close(file);
}

std::vector<Frame> ReadWav(const std::string& path, int rate) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
  if (file == nullptr) return {};
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, rate);
  std::vector<Frame> frames(static_cast<size_t>(info.frames));
  sf_readf_short(file, reinterpret_cast<short*>(frames.data()), info.frames);
  sf_close(file);
  return frames;
}

std::vector<Frame> StereoFrames(const std::vector<int16_t>& left,
                                const std::vector<int16_t>& right) {
  std::vector<Frame> frames(left.size());
  for (size_t i = 0; i < left.size(); ++i) frames[i] = Frame{left[i], right[i]};
  return frames;
}

}  // namespace ampora::test
