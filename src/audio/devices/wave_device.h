#pragma once

#include <cstdint>
#include <string>

#include "audio/devices/wave_header.h"
#include "audio/sample_rate.h"

// The engine's view of the wave devices: open by id, queue capture headers, start, write
// play headers, read byte positions, close. Results are 0 for success or one of
// the error codes below, whose text ErrorText gives.
//
// Thread: every member is called on the UI thread. Implementations copy frames on a
// device thread of their own, which only copies frames and flips done flags: no locks,
// no allocation, no blocking, no logging there.

namespace ampora {

// The stream format record both devices are opened with.
struct WaveFormat {
  int16_t formatTag = 0;  // 1 = PCM
  int16_t channels = 0;
  int32_t samplesPerSec = 0;
  int32_t avgBytesPerSec = 0;
  int16_t blockAlign = 0;
  int16_t bitsPerSample = 0;

  bool operator==(const WaveFormat&) const = default;
};

// 16-bit stereo PCM at sampleRate: the only format the devices play and capture, at
// rates kMinSampleRate..kMaxSampleRate.
WaveFormat StreamWaveFormat(int32_t sampleRate = kDefaultSampleRate);
bool IsStreamWaveFormat(const WaveFormat& format);

inline constexpr int32_t kDeviceOk = 0;
inline constexpr int32_t kDeviceFailed = 1;     // the device or its driver failed
inline constexpr int32_t kDeviceBadId = 2;      // no device with this id
inline constexpr int32_t kDeviceBadFormat = 3;  // the format is not supported
inline constexpr int32_t kDeviceNotOpen = 4;    // the call needs an open device
inline constexpr int32_t kDeviceQueueFull = 5;  // too many headers queued
inline constexpr int32_t kDeviceLost = 6;       // stopped by itself: its audio server went away

// The text of a code that carries no device-specific detail.
std::string DeviceErrorText(int32_t code);

// Device id -1: the default device of the chosen audio interface.
inline constexpr int32_t kDefaultDevice = -1;

// What a device has moved and lost since it was made, over all its opens: for an input,
// the headers it filled and the frames it dropped for want of a queued header; for an
// output, the headers it played and the frames of silence it played between headers.
struct DeviceCounts {
  int64_t blocks = 0;
  int64_t lostFrames = 0;
};

// What both directions offer.
class WaveDevice {
 public:
  virtual ~WaveDevice() = default;
  // Opens device id; closes what was open first.
  virtual int32_t Open(int32_t deviceId, const WaveFormat& format) = 0;
  // The text for a code returned by this device, with the detail of its last failure.
  virtual std::string ErrorText(int32_t code) const = 0;
  // Bytes captured into headers since Start (input) or played from headers since Open
  // (output).
  virtual int64_t PositionBytes() const = 0;
  virtual DeviceCounts Counts() const = 0;
  // True once the open device has stopped by itself (its audio server went away): no
  // more blocks will come or go until it is closed and opened again. Close it before
  // anything opens a client on a server again: libjack frees such a client at the next
  // open, and closing it afterwards would crash.
  virtual bool Lost() const { return false; }
  // False while the started device's audio server has not run it yet: its start failed,
  // or the server's graph stalls on a client that libjack left waiting in vain (a client
  // of another program leaving while one of ours opens can leave libjack's per-process
  // state stale until the last client of the process closes). Devices without a server
  // always run.
  virtual bool Running() const { return true; }
  // Stops the device, returns every queued header marked done, restarts the position at 0
  // and closes; safe when nothing is open.
  virtual void Close() = 0;
};

// An input opens stopped: headers are queued, then it starts.
class WaveInDevice : public WaveDevice {
 public:
  // Queues a header to be filled; clears its done flag.
  virtual int32_t Queue(WaveHeader* header) = 0;
  virtual int32_t Start() = 0;
};

// An output plays from Open on: what is written, silence in between.
class WaveOutDevice : public WaveDevice {
 public:
  // Queues a header for playing (any length, played whole, in write order); clears its
  // done flag.
  virtual int32_t Write(WaveHeader* header) = 0;
};

}  // namespace ampora

namespace ampora {

// What a device remembers of its last failure, for ErrorText.
class DeviceFailure {
 public:
  // Records the failure and returns its code.
  int32_t Fail(int32_t code, std::string detail = "");
  std::string Text(int32_t code) const;

 private:
  int32_t code_ = kDeviceOk;
  std::string detail_;
};

}  // namespace ampora
