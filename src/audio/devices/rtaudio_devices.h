#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/callback_gate.h"
#include "audio/devices/capture_feed.h"
#include "audio/devices/jack_client_stream.h"
#include "audio/devices/play_feed.h"
#include "audio/devices/stream_fault_watch.h"
#include "audio/devices/wave_device.h"

class RtAudio;

// The sound cards and audio servers, listed by RtAudio: JACK, ALSA or PulseAudio (also
// PipeWire's PulseAudio service). One input stream and one output stream, each its own
// RtAudio stream (on JACK, its own JACK client), exchanging float samples that are
// converted exactly to and from the 16-bit frames of the rings (RtAudio's own 16-bit
// conversion wraps floats below -1).

namespace ampora {

struct RealDevice {
  std::string name;
  uint32_t rtAudioId = 0;  // the device's number in RtAudio
  int32_t channels = 0;    // 1 or 2 are used
  int32_t sampleRate = 0;  // 44100 where the device takes it, else its preferred; 0 = unknown
};

struct RealDeviceList {
  int32_t api = 0;      // RtAudio::Api; 0 = none
  std::string apiName;  // "jack", "alsa", "pulse"; empty when none
  std::vector<RealDevice> inputs;
  std::vector<RealDevice> outputs;
  int32_t defaultInput = -1;  // index into inputs, -1 when there are none
  int32_t defaultOutput = -1;
};

// Lists the devices of the audio interface named apiName ("jack", "alsa", "pulse", or
// their display names, in any case); an empty or unknown name takes the first compiled
// interface that has devices. Never throws; a failing interface lists nothing.
//
// Thread: UI thread.
RealDeviceList ScanRealDevices(const std::string& apiName);

// The names of the compiled audio interfaces ("jack", "alsa", "pulse"), in the order an
// empty name tries them.
std::vector<std::string> AudioApiNames();

// The rate a stream on the listed device (input or output; -1 = the default one) would
// run at: on JACK the server's rate now, else the device's rate of the list. 0 when it
// cannot be told (no JACK server answers, an unknown device).
//
// Thread: UI thread.
int32_t RealStreamRate(const RealDeviceList& devices, int32_t deviceId, bool input);

// One stream and the gate of its callback: through RtAudio, or, on a JACK server, as a
// JACK client of its own (see jack_client_stream.h for why).
//
// Thread: UI thread, except Enter() and Leave(), which the stream callback calls.
class RtAudioStream {
 public:
  RtAudioStream();
  ~RtAudioStream();
  RtAudioStream(const RtAudioStream&) = delete;
  RtAudioStream& operator=(const RtAudioStream&) = delete;

  // Opens a stream of float samples on the listed device (input: capture, else
  // playback), ending the previous one first. Returns kDeviceOk or the failure's code.
  int32_t Open(const RealDeviceList& devices, int32_t deviceId, const WaveFormat& format,
               bool input, int (*callback)(void*, void*, unsigned int, double, unsigned int, void*),
               void* self, int32_t& channels, std::vector<Frame>& chunk, DeviceFailure& failure);
  // Lets the callback work and starts the stream.
  int32_t Start(DeviceFailure& failure);
  // When this returns, no callback works and the stream is closed. Safe when nothing is
  // open.
  void End();
  bool IsOpen() const { return audio_ != nullptr || jack_.IsOpen(); }
  // The JACK server went away, or the device of an ALSA or PulseAudio stream keeps
  // failing (see StreamFaultWatch).
  bool Lost() const { return jack_.ServerGone() || watch_.Failed(); }
  // Only a JACK stream waits for its server to run it.
  bool Running() const { return !jack_.IsOpen() || jack_.HasRun(); }

  // Stream callback, first: false when the stream's last read or write failed.
  bool CycleStarted() { return watch_.CycleStarted(); }
  // Stream callback: false = do nothing and return.
  bool Enter() { return gate_.Enter(); }
  void Leave() { gate_.Leave(); }

 private:
  std::unique_ptr<RtAudio> audio_;
  JackClientStream jack_;
  CallbackGate gate_;
  StreamFaultWatch watch_;
};

// Thread: the WaveInDevice members on the UI thread; the stream callback on RtAudio's
// thread or the JACK client's, where it only converts and copies frames.
class RtAudioWaveIn final : public WaveInDevice {
 public:
  // devices: the list the ids refer to; it must outlive the device.
  explicit RtAudioWaveIn(const RealDeviceList& devices);
  ~RtAudioWaveIn() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Queue(WaveHeader* header) override;
  int32_t Start() override;
  int64_t PositionBytes() const override;
  DeviceCounts Counts() const override { return {feed_.HeadersFilled(), feed_.FramesDropped()}; }
  bool Lost() const override { return stream_.Lost(); }
  bool Running() const override { return stream_.Running(); }
  void Close() override;

 private:
  static int Callback(void* out, void* in, unsigned int frames, double, unsigned int, void* self);

  const RealDeviceList& devices_;
  DeviceFailure failure_;
  int32_t channels_ = 0;
  std::vector<Frame> chunk_;  // callback thread
  CaptureFeed feed_;
  RtAudioStream stream_;  // ended first: its callbacks use the members above
};

class RtAudioWaveOut final : public WaveOutDevice {
 public:
  explicit RtAudioWaveOut(const RealDeviceList& devices);
  ~RtAudioWaveOut() override;

  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override { return failure_.Text(code); }
  int32_t Write(WaveHeader* header) override;
  int64_t PositionBytes() const override;
  DeviceCounts Counts() const override { return {feed_.HeadersPlayed(), feed_.GapFrames()}; }
  bool Lost() const override { return stream_.Lost(); }
  bool Running() const override { return stream_.Running(); }
  void Close() override;

 private:
  static int Callback(void* out, void* in, unsigned int frames, double, unsigned int, void* self);

  const RealDeviceList& devices_;
  DeviceFailure failure_;
  std::atomic<int32_t> channels_{0};  // read by the callback also while the gate is closed
  std::vector<Frame> chunk_;          // callback thread
  PlayFeed feed_;
  RtAudioStream stream_;  // ended first: its callbacks use the members above
};

}  // namespace ampora
