#include "audio/devices/rtaudio_devices.h"

#include <rtaudio/RtAudio.h>

#include <algorithm>

#include "audio/devices/sample_conversion.h"
#include "audio/stream_format.h"
#include "util/text.h"

namespace ampora {

namespace {

constexpr unsigned int kBufferFrames = 256;
constexpr int kRealTimePriority = 80;

RtAudio::Api ApiByName(const std::string& name) {
  if (name.empty()) return RtAudio::UNSPECIFIED;
  std::vector<RtAudio::Api> apis;
  RtAudio::getCompiledApi(apis);
  for (RtAudio::Api api : apis) {
    if (EqualsIgnoreCase(RtAudio::getApiName(api), name) ||
        EqualsIgnoreCase(RtAudio::getApiDisplayName(api), name)) {
      return api;
    }
  }
  return RtAudio::UNSPECIFIED;
}

RealDeviceList ScanApi(RtAudio::Api api) {
  RealDeviceList list;
  list.api = api;
  list.apiName = RtAudio::getApiName(api);
  try {
    RtAudio audio(api);
    audio.showWarnings(false);
    const unsigned int count = audio.getDeviceCount();
    for (unsigned int id = 0; id < count; ++id) {
      RtAudio::DeviceInfo info;
      try {
        info = audio.getDeviceInfo(id);
      } catch (const RtAudioError&) {
        continue;
      }
      if (!info.probed) continue;
      if (info.inputChannels > 0) {
        if (info.isDefaultInput && list.defaultInput < 0) {
          list.defaultInput = static_cast<int32_t>(list.inputs.size());
        }
        list.inputs.push_back(
            {info.name, id, static_cast<int32_t>(std::min(info.inputChannels, 2u))});
      }
      if (info.outputChannels > 0) {
        if (info.isDefaultOutput && list.defaultOutput < 0) {
          list.defaultOutput = static_cast<int32_t>(list.outputs.size());
        }
        list.outputs.push_back(
            {info.name, id, static_cast<int32_t>(std::min(info.outputChannels, 2u))});
      }
    }
  } catch (const RtAudioError&) {
    // An interface that fails to answer has no devices.
  }
  if (list.defaultInput < 0 && !list.inputs.empty()) list.defaultInput = 0;
  if (list.defaultOutput < 0 && !list.outputs.empty()) list.defaultOutput = 0;
  return list;
}

// Opens one stream of float samples on a listed device. input: capture, else playback.
int32_t OpenStream(const RealDeviceList& devices, int32_t deviceId, const WaveFormat& format,
                   bool input, RtAudioCallback callback, void* self,
                   std::unique_ptr<RtAudio>& audio, int32_t& channels, std::vector<Frame>& chunk,
                   DeviceFailure& failure) {
  const std::vector<RealDevice>& list = input ? devices.inputs : devices.outputs;
  if (deviceId == kDefaultDevice) deviceId = input ? devices.defaultInput : devices.defaultOutput;
  if (deviceId < 0 || deviceId >= static_cast<int32_t>(list.size())) {
    return failure.Fail(kDeviceBadId);
  }
  if (!IsStreamWaveFormat(format)) return failure.Fail(kDeviceBadFormat);
  const RealDevice& device = list[static_cast<size_t>(deviceId)];
  try {
    audio = std::make_unique<RtAudio>(static_cast<RtAudio::Api>(devices.api));
    audio->showWarnings(false);
    RtAudio::StreamParameters params;
    params.deviceId = device.rtAudioId;
    params.nChannels = static_cast<unsigned int>(device.channels);
    RtAudio::StreamOptions options;
    options.flags = RTAUDIO_SCHEDULE_REALTIME;  // refused without the rights: not an error
    options.priority = kRealTimePriority;
    options.streamName = input ? "ampora-in" : "ampora-out";
    unsigned int bufferFrames = kBufferFrames;
    audio->openStream(input ? nullptr : &params, input ? &params : nullptr, RTAUDIO_FLOAT32,
                      SampleRate, &bufferFrames, callback, self, &options);
    channels = device.channels;
    chunk.assign(std::max(bufferFrames, kBufferFrames), Frame{});
    return kDeviceOk;
  } catch (const RtAudioError& e) {
    audio.reset();
    return failure.Fail(kDeviceFailed, e.getMessage());
  }
}

int32_t StartStream(RtAudio& audio, DeviceFailure& failure) {
  try {
    audio.startStream();
    return kDeviceOk;
  } catch (const RtAudioError& e) {
    return failure.Fail(kDeviceFailed, e.getMessage());
  }
}

// Stops the stream's callback; when this returns the callback no longer runs.
void StopStream(RtAudio* audio) {
  if (audio == nullptr) return;
  try {
    if (audio->isStreamRunning()) audio->stopStream();
  } catch (const RtAudioError&) {
    // A stream whose server has gone is stopped already.
  }
}

void CloseStream(std::unique_ptr<RtAudio>& audio) {
  if (!audio) return;
  try {
    if (audio->isStreamOpen()) audio->closeStream();
  } catch (const RtAudioError&) {
    // Nothing left to release.
  }
  audio.reset();
}

}  // namespace

RealDeviceList ScanRealDevices(const std::string& apiName) {
  if (const RtAudio::Api api = ApiByName(apiName); api != RtAudio::UNSPECIFIED) {
    return ScanApi(api);
  }
  std::vector<RtAudio::Api> apis;
  RtAudio::getCompiledApi(apis);
  for (RtAudio::Api api : apis) {
    if (api == RtAudio::RTAUDIO_DUMMY) continue;
    RealDeviceList list = ScanApi(api);
    if (!list.inputs.empty() || !list.outputs.empty()) return list;
  }
  return RealDeviceList{};
}

RtAudioWaveIn::RtAudioWaveIn(const RealDeviceList& devices) : devices_(devices) {}

RtAudioWaveIn::~RtAudioWaveIn() {
  Close();
}

int32_t RtAudioWaveIn::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  return OpenStream(devices_, deviceId, format, true, &Callback, this, audio_, channels_, chunk_,
                    failure_);
}

int32_t RtAudioWaveIn::Queue(WaveHeader* header) {
  if (!audio_) return kDeviceNotOpen;
  return feed_.Queue(header) ? kDeviceOk : kDeviceQueueFull;
}

int32_t RtAudioWaveIn::Start() {
  if (!audio_) return kDeviceNotOpen;
  gate_.Open();
  return StartStream(*audio_, failure_);
}

int64_t RtAudioWaveIn::PositionBytes() const {
  return feed_.FramesDelivered() * BlockAlign;
}

void RtAudioWaveIn::Close() {
  gate_.Close();
  StopStream(audio_.get());
  feed_.ReturnAll();
  CloseStream(audio_);
}

int RtAudioWaveIn::Callback(void*, void* in, unsigned int frames, double, unsigned int,
                            void* self) {
  auto& device = *static_cast<RtAudioWaveIn*>(self);
  if (!device.gate_.Enter()) return 0;
  const float* samples = static_cast<const float*>(in);
  const int32_t channels = device.channels_;
  for (unsigned int done = 0; done < frames;) {
    const auto n = std::min<unsigned int>(frames - done, device.chunk_.size());
    for (unsigned int i = 0; i < n; ++i) {
      const float* frame = samples + static_cast<size_t>(done + i) * channels;
      device.chunk_[i] = Frame{FloatToSample(frame[0]), FloatToSample(frame[channels - 1])};
    }
    device.feed_.Deliver(device.chunk_.data(), static_cast<int32_t>(n));
    done += n;
  }
  device.gate_.Leave();
  return 0;
}

RtAudioWaveOut::RtAudioWaveOut(const RealDeviceList& devices) : devices_(devices) {}

RtAudioWaveOut::~RtAudioWaveOut() {
  Close();
}

int32_t RtAudioWaveOut::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  int32_t channels = 0;
  if (const int32_t code = OpenStream(devices_, deviceId, format, false, &Callback, this, audio_,
                                      channels, chunk_, failure_);
      code != kDeviceOk) {
    return code;
  }
  channels_.store(channels, std::memory_order_relaxed);
  gate_.Open();
  if (const int32_t code = StartStream(*audio_, failure_); code != kDeviceOk) {
    Close();
    return code;
  }
  return kDeviceOk;
}

int32_t RtAudioWaveOut::Write(WaveHeader* header) {
  if (!audio_) return kDeviceNotOpen;
  return feed_.Write(header) ? kDeviceOk : kDeviceQueueFull;
}

int64_t RtAudioWaveOut::PositionBytes() const {
  return feed_.FramesPlayed() * BlockAlign;
}

void RtAudioWaveOut::Close() {
  gate_.Close();
  StopStream(audio_.get());
  feed_.ReturnAll();
  CloseStream(audio_);
}

int RtAudioWaveOut::Callback(void* out, void*, unsigned int frames, double, unsigned int,
                             void* self) {
  auto& device = *static_cast<RtAudioWaveOut*>(self);
  float* samples = static_cast<float*>(out);
  const int32_t channels = device.channels_.load(std::memory_order_relaxed);
  if (!device.gate_.Enter()) {
    std::fill(samples, samples + static_cast<size_t>(frames) * channels, 0.0f);
    return 0;
  }
  for (unsigned int done = 0; done < frames;) {
    const auto n = std::min<unsigned int>(frames - done, device.chunk_.size());
    device.feed_.Pull(device.chunk_.data(), static_cast<int32_t>(n));
    for (unsigned int i = 0; i < n; ++i) {
      float* frame = samples + static_cast<size_t>(done + i) * channels;
      frame[0] = SampleToFloat(device.chunk_[i].left);
      if (channels > 1) frame[1] = SampleToFloat(device.chunk_[i].right);
    }
    done += n;
  }
  device.gate_.Leave();
  return 0;
}

}  // namespace ampora
