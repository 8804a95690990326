#include "audio/devices/rtaudio_devices.h"

#include <RtAudio.h>

#include <algorithm>
#include <type_traits>

#include "audio/devices/sample_conversion.h"
#include "audio/stream_format.h"
#include "util/text.h"

// RtAudio 6 reports errors by result codes and numbers its devices with ids of its own;
// RtAudio 5 throws RtAudioError and numbers them 0..count-1. Only the few calls below
// differ.
#if defined(RTAUDIO_VERSION_MAJOR) && RTAUDIO_VERSION_MAJOR >= 6
#define AMPORA_RTAUDIO_RESULT_CODES 1
#else
#define AMPORA_RTAUDIO_RESULT_CODES 0
#endif

namespace ampora {

namespace {

constexpr unsigned int kBufferFrames = 256;
// RtAudio's PulseAudio streams wake two threads of their own for every period: twice
// the period halves that cost, and the server buffers far more than one period anyway.
constexpr unsigned int kPulseBufferFrames = 2 * kBufferFrames;
constexpr int kRealTimePriority = 80;

// An RtAudio object for the interface, or nullptr (with the reason in error) when it
// cannot be had.
std::unique_ptr<RtAudio> MakeRtAudio(RtAudio::Api api, std::string& error) {
#if AMPORA_RTAUDIO_RESULT_CODES
  // Without a callback, RtAudio prints every error; the result codes say the rest.
  auto audio = std::make_unique<RtAudio>(api, [](RtAudioErrorType type, const std::string&) {
    if (type != RTAUDIO_WARNING) StreamFaultWatch::ReportOnThisThread(true);
  });
  audio->showWarnings(false);
  error.clear();
  return audio;
#else
  try {
    auto audio = std::make_unique<RtAudio>(api);
    audio->showWarnings(false);
    return audio;
  } catch (const RtAudioError& e) {
    error = e.getMessage();
    return nullptr;
  }
#endif
}

#if !AMPORA_RTAUDIO_RESULT_CODES
// What RtAudio reports of a running stream: each failed read or write of its thread (a
// warning, after which it calls the callback again) and the failures it stops the stream
// for. Failures of the calls the UI thread makes are thrown and caught there as before:
// RtAudio takes this callback only once the stream is open.
void OnStreamError(RtAudioError::Type type, const std::string&) {
  if (type == RtAudioError::DEBUG_WARNING) return;
  StreamFaultWatch::ReportOnThisThread(type != RtAudioError::WARNING);
}
#endif

// Runs one RtAudio call that may fail; returns true, or false with RtAudio's text.
template <class Call>
bool Succeeds(RtAudio& audio, Call&& call, std::string& error) {
#if AMPORA_RTAUDIO_RESULT_CODES
  if constexpr (std::is_void_v<decltype(call())>) {
    call();  // closeStream(), which cannot fail
    return true;
  } else {
    if (call() == RTAUDIO_NO_ERROR) return true;
    error = audio.getErrorText();
    return false;
  }
#else
  (void)audio;
  try {
    call();
    return true;
  } catch (const RtAudioError& e) {
    error = e.getMessage();
    return false;
  }
#endif
}

std::vector<unsigned int> DeviceIds(RtAudio& audio) {
#if AMPORA_RTAUDIO_RESULT_CODES
  return audio.getDeviceIds();
#else
  std::vector<unsigned int> ids(audio.getDeviceCount());
  for (unsigned int id = 0; id < ids.size(); ++id) ids[id] = id;
  return ids;
#endif
}

// The device's description; false when RtAudio could not describe it.
bool DescribeDevice(RtAudio& audio, unsigned int id, RtAudio::DeviceInfo& info) {
#if AMPORA_RTAUDIO_RESULT_CODES
  info = audio.getDeviceInfo(id);
  return info.ID == id && !info.name.empty();
#else
  std::string error;
  return Succeeds(
             audio, [&] { info = audio.getDeviceInfo(id); }, error) &&
         info.probed;
#endif
}

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

// 44100 where the device takes it (no conversion of recordings, renders and settings
// made at that rate), else the rate it prefers.
int32_t RateOf(const RtAudio::DeviceInfo& info) {
  const auto& rates = info.sampleRates;
  if (std::find(rates.begin(), rates.end(), static_cast<unsigned int>(kDefaultSampleRate)) !=
      rates.end()) {
    return kDefaultSampleRate;
  }
  return static_cast<int32_t>(std::min<unsigned int>(info.preferredSampleRate, INT32_MAX));
}

// An interface that fails to answer has no devices.
RealDeviceList ScanApi(RtAudio::Api api) {
  RealDeviceList list;
  list.api = api;
  list.apiName = RtAudio::getApiName(api);
  std::string error;
  if (std::unique_ptr<RtAudio> audio = MakeRtAudio(api, error)) {
    for (unsigned int id : DeviceIds(*audio)) {
      RtAudio::DeviceInfo info;
      if (!DescribeDevice(*audio, id, info)) continue;
      if (info.inputChannels > 0) {
        if (info.isDefaultInput && list.defaultInput < 0) {
          list.defaultInput = static_cast<int32_t>(list.inputs.size());
        }
        list.inputs.push_back(
            {info.name, id, static_cast<int32_t>(std::min(info.inputChannels, 2u)), RateOf(info)});
      }
      if (info.outputChannels > 0) {
        if (info.isDefaultOutput && list.defaultOutput < 0) {
          list.defaultOutput = static_cast<int32_t>(list.outputs.size());
        }
        list.outputs.push_back(
            {info.name, id, static_cast<int32_t>(std::min(info.outputChannels, 2u)), RateOf(info)});
      }
    }
  }
  if (list.defaultInput < 0 && !list.inputs.empty()) list.defaultInput = 0;
  if (list.defaultOutput < 0 && !list.outputs.empty()) list.defaultOutput = 0;
  return list;
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

int32_t RealStreamRate(const RealDeviceList& devices, int32_t deviceId, bool input) {
  // A JACK server may have been restarted at another rate since the devices were listed.
  if (devices.api == RtAudio::UNIX_JACK) return JackServerRate();
  const std::vector<RealDevice>& list = input ? devices.inputs : devices.outputs;
  if (deviceId == kDefaultDevice) deviceId = input ? devices.defaultInput : devices.defaultOutput;
  if (deviceId < 0 || deviceId >= static_cast<int32_t>(list.size())) return 0;
  return list[static_cast<size_t>(deviceId)].sampleRate;
}

std::vector<std::string> AudioApiNames() {
  std::vector<RtAudio::Api> apis;
  RtAudio::getCompiledApi(apis);
  std::vector<std::string> names;
  for (RtAudio::Api api : apis) {
    if (api != RtAudio::RTAUDIO_DUMMY) names.push_back(RtAudio::getApiName(api));
  }
  return names;
}

RtAudioStream::RtAudioStream() = default;

RtAudioStream::~RtAudioStream() {
  End();
}

int32_t RtAudioStream::Open(const RealDeviceList& devices, int32_t deviceId,
                            const WaveFormat& format, bool input, RtAudioCallback callback,
                            void* self, int32_t& channels, std::vector<Frame>& chunk,
                            DeviceFailure& failure) {
  End();
  const std::vector<RealDevice>& list = input ? devices.inputs : devices.outputs;
  if (deviceId == kDefaultDevice) deviceId = input ? devices.defaultInput : devices.defaultOutput;
  if (deviceId < 0 || deviceId >= static_cast<int32_t>(list.size())) {
    return failure.Fail(kDeviceBadId);
  }
  if (!IsStreamWaveFormat(format)) return failure.Fail(kDeviceBadFormat);
  const RealDevice& device = list[static_cast<size_t>(deviceId)];
  const char* const name = input ? "ampora-in" : "ampora-out";
  std::string error;
  if (devices.api == RtAudio::UNIX_JACK) {
    if (!jack_.Open(device.name, device.channels, input, name, format.samplesPerSec, callback, self,
                    error)) {
      return failure.Fail(kDeviceFailed, error);
    }
    channels = device.channels;
    chunk.assign(JackClientStream::kChunkFrames, Frame{});
    return kDeviceOk;
  }
  std::unique_ptr<RtAudio> audio = MakeRtAudio(static_cast<RtAudio::Api>(devices.api), error);
  if (!audio) return failure.Fail(kDeviceFailed, error);
  RtAudio::StreamParameters params;
  params.deviceId = device.rtAudioId;
  params.nChannels = static_cast<unsigned int>(device.channels);
  RtAudio::StreamOptions options;
  options.flags = RTAUDIO_SCHEDULE_REALTIME;  // refused without the rights: not an error
  options.priority = kRealTimePriority;
  options.streamName = name;
  unsigned int bufferFrames =
      devices.api == RtAudio::LINUX_PULSE ? kPulseBufferFrames : kBufferFrames;
  const bool opened = Succeeds(
      *audio,
      [&] {
        return audio->openStream(input ? nullptr : &params, input ? &params : nullptr,
                                 RTAUDIO_FLOAT32, static_cast<unsigned int>(format.samplesPerSec),
                                 &bufferFrames, callback, self, &options
#if !AMPORA_RTAUDIO_RESULT_CODES
                                 ,
                                 &OnStreamError
#endif
        );
      },
      error);
  if (!opened) return failure.Fail(kDeviceFailed, error);
  audio_ = std::move(audio);
  channels = device.channels;
  chunk.assign(std::max(bufferFrames, kBufferFrames), Frame{});
  return kDeviceOk;
}

int32_t RtAudioStream::Start(DeviceFailure& failure) {
  if (!IsOpen()) return failure.Fail(kDeviceNotOpen);
  watch_.Reset();
  gate_.Open();
  std::string error;
  if (jack_.IsOpen()) return jack_.Start(error) ? kDeviceOk : failure.Fail(kDeviceFailed, error);
  // A start that fails after the open reaches the error callback, not the result.
  const StreamFaultWatch::ThreadScope scope(watch_);
  if (!Succeeds(
          *audio_, [&] { return audio_->startStream(); }, error)) {
    return failure.Fail(kDeviceFailed, error);
  }
  return watch_.Failed() ? failure.Fail(kDeviceFailed) : kDeviceOk;
}

void RtAudioStream::End() {
  gate_.Close();
  jack_.Close();
  if (!audio_) return;
  std::string error;
  // Abort, not stop: stopping waits for callbacks to drain the output, and the gate plays
  // silence already.
  if (audio_->isStreamRunning())
    Succeeds(
        *audio_, [&] { return audio_->abortStream(); }, error);
  Succeeds(
      *audio_, [&] { return audio_->closeStream(); }, error);
  audio_.reset();
}

RtAudioWaveIn::RtAudioWaveIn(const RealDeviceList& devices) : devices_(devices) {}

RtAudioWaveIn::~RtAudioWaveIn() {
  Close();
}

int32_t RtAudioWaveIn::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  return stream_.Open(devices_, deviceId, format, true, &Callback, this, channels_, chunk_,
                      failure_);
}

int32_t RtAudioWaveIn::Queue(WaveHeader* header) {
  if (!stream_.IsOpen()) return kDeviceNotOpen;
  return feed_.Queue(header) ? kDeviceOk : kDeviceQueueFull;
}

int32_t RtAudioWaveIn::Start() {
  if (!stream_.IsOpen()) return kDeviceNotOpen;
  return stream_.Start(failure_);
}

int64_t RtAudioWaveIn::PositionBytes() const {
  return feed_.FramesDelivered() * BlockAlign;
}

void RtAudioWaveIn::Close() {
  stream_.End();
  feed_.ReturnAll();
}

int RtAudioWaveIn::Callback(void*, void* in, unsigned int frames, double, unsigned int,
                            void* self) {
  auto& device = *static_cast<RtAudioWaveIn*>(self);
  // After a failed read the buffer holds no new frames.
  const bool read = device.stream_.CycleStarted();
  if (!device.stream_.Enter()) return 0;
  if (!read) {
    device.stream_.Leave();
    return 0;
  }
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
  device.stream_.Leave();
  return 0;
}

RtAudioWaveOut::RtAudioWaveOut(const RealDeviceList& devices) : devices_(devices) {}

RtAudioWaveOut::~RtAudioWaveOut() {
  Close();
}

int32_t RtAudioWaveOut::Open(int32_t deviceId, const WaveFormat& format) {
  Close();
  int32_t channels = 0;
  if (const int32_t code = stream_.Open(devices_, deviceId, format, false, &Callback, this,
                                        channels, chunk_, failure_);
      code != kDeviceOk) {
    return code;
  }
  channels_.store(channels, std::memory_order_relaxed);
  if (const int32_t code = stream_.Start(failure_); code != kDeviceOk) {
    Close();
    return code;
  }
  return kDeviceOk;
}

int32_t RtAudioWaveOut::Write(WaveHeader* header) {
  if (!stream_.IsOpen()) return kDeviceNotOpen;
  return feed_.Write(header) ? kDeviceOk : kDeviceQueueFull;
}

int64_t RtAudioWaveOut::PositionBytes() const {
  return feed_.FramesPlayed() * BlockAlign;
}

void RtAudioWaveOut::Close() {
  stream_.End();
  feed_.ReturnAll();
}

int RtAudioWaveOut::Callback(void* out, void*, unsigned int frames, double, unsigned int,
                             void* self) {
  auto& device = *static_cast<RtAudioWaveOut*>(self);
  float* samples = static_cast<float*>(out);
  const int32_t channels = device.channels_.load(std::memory_order_relaxed);
  device.stream_.CycleStarted();
  if (!device.stream_.Enter()) {
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
  device.stream_.Leave();
  return 0;
}

}  // namespace ampora
