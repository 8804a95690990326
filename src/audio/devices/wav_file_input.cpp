#include "audio/devices/wav_file_input.h"

#include <samplerate.h>

#include <algorithm>

#include "audio/devices/sample_conversion.h"
#include "audio/devices/sound_file.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

// Reads up to maxFrames frames as interleaved float stereo.
std::vector<float> ReadStereo(SNDFILE* file, int channels, sf_count_t maxFrames) {
  constexpr sf_count_t kChunk = 4096;
  std::vector<float> chunk(static_cast<size_t>(kChunk * channels));
  std::vector<float> stereo;
  for (sf_count_t done = 0; done < maxFrames;) {
    const sf_count_t got = sf_readf_float(file, chunk.data(), std::min(kChunk, maxFrames - done));
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      const float* frame = &chunk[static_cast<size_t>(i * channels)];
      stereo.push_back(frame[0]);
      stereo.push_back(frame[channels > 1 ? 1 : 0]);
    }
    done += got;
  }
  return stereo;
}

bool Resample(std::vector<float>& stereo, int rate, int32_t sampleRate, std::string& error) {
  const double ratio = static_cast<double>(sampleRate) / rate;
  const long inFrames = static_cast<long>(stereo.size() / 2);
  std::vector<float> out(static_cast<size_t>(inFrames * ratio + 16) * 2);
  SRC_DATA data{};
  data.data_in = stereo.data();
  data.data_out = out.data();
  data.input_frames = inFrames;
  data.output_frames = static_cast<long>(out.size() / 2);
  data.src_ratio = ratio;
  data.end_of_input = 1;
  if (const int code = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 2); code != 0) {
    error = FillIn(UiText("DeviceError", "サンプリング周波数を変換できませんでした: %1"),
                   {src_strerror(code)});
    return false;
  }
  out.resize(static_cast<size_t>(data.output_frames_gen) * 2);
  stereo = std::move(out);
  return true;
}

}  // namespace

bool LoadWavFile(const std::string& path, int32_t sampleRate, std::vector<Frame>& frames,
                 std::string& error) {
  if (path.empty()) {
    error = UiText("DeviceError", "WAVファイルが設定されていません。");
    return false;
  }
  SF_INFO info{};
  SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) {
    error = FillIn(UiText("DeviceError", "WAVファイルを開けませんでした: %1 (%2)"),
                   {path, sf_strerror(nullptr)});
    return false;
  }
  if (!IsReadableFormat(info)) {
    error = FillIn(UiText("DeviceError", "このWAVファイルの形式には対応していません: %1"), {path});
    return false;
  }
  std::vector<float> stereo = ReadStereo(
      file.get(), info.channels, static_cast<sf_count_t>(info.samplerate) * kMaxWavInputSeconds);
  if (info.samplerate != sampleRate && !stereo.empty() &&
      !Resample(stereo, info.samplerate, sampleRate, error)) {
    return false;
  }
  frames.resize(stereo.size() / 2);
  for (size_t i = 0; i < frames.size(); ++i) {
    frames[i] = Frame{FloatToSample(stereo[2 * i]), FloatToSample(stereo[2 * i + 1])};
  }
  return true;
}

}  // namespace ampora
