#include "audio/devices/wav_recorder.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>

#include "audio/sample_rate.h"
#include "audio/stream_format.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

constexpr uint32_t kChunkFrames = 4096;

// 2^17 frames at 44100 Hz (2.97 s), the same time at every rate.
uint32_t QueueFrames(int32_t sampleRate) {
  constexpr int64_t kFramesAtDefaultRate = int64_t{1} << 17;
  return static_cast<uint32_t>(kFramesAtDefaultRate * sampleRate / kDefaultSampleRate);
}

}  // namespace

WavRecorder::WavRecorder() : chunk_(kChunkFrames) {}

WavRecorder::~WavRecorder() {
  Close();
}

bool WavRecorder::Open(const std::string& path, int32_t sampleRate, std::string& error) {
  Close();
  if (path.empty()) {
    error = UiText("DeviceError", "録音先のWAVファイルが設定されていません。");
    return false;
  }
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = Channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  file_ = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file_ == nullptr) {
    error = FillIn(UiText("DeviceError", "録音先のWAVファイルを作成できませんでした: %1 (%2)"),
                   {path, sf_strerror(nullptr)});
    return false;
  }
  // Neither the device thread nor a writer runs before the queue is in place.
  queue_.emplace(QueueFrames(sampleRate));
  stop_.store(false, std::memory_order_relaxed);
  writer_ = std::thread([this] {
    while (!stop_.load(std::memory_order_acquire)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      WriteQueued();
    }
  });
  return true;
}

void WavRecorder::Close() {
  if (file_ == nullptr) return;
  stop_.store(true, std::memory_order_release);
  writer_.join();
  WriteQueued();
  sf_close(file_);
  file_ = nullptr;
}

void WavRecorder::WriteQueued() {
  static_assert(sizeof(Frame) == 2 * sizeof(short));
  while (const uint32_t ready = std::min(queue_->Available(), kChunkFrames)) {
    for (uint32_t i = 0; i < ready; ++i) chunk_[i] = queue_->Peek(i);
    queue_->Drop(ready);
    sf_writef_short(file_, reinterpret_cast<const short*>(chunk_.data()), ready);
  }
}

}  // namespace ampora
