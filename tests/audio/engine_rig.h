#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/audio_devices.h"
#include "audio/devices/device_clock.h"
#include "audio/stream_buffers.h"
#include "audio/stream_engine.h"

namespace ampora::test {

// Device ids of the built-in devices when there are no real devices.
enum BuiltinInput : int32_t { kDemoGuitarIn, kTestToneIn, kSilenceIn, kWavFileIn };
enum BuiltinOutput : int32_t { kNullOut, kRecorderOut };

// A chain that records the start of every block it is given and can run a scripted
// action inside the pass (as the equaliser's event points do).
class RecordingChain final : public BlockProcessor {
 public:
  int ProcessBlock(int32_t start, int32_t end) override;

  std::vector<int32_t> starts;
  std::function<void()> inside;
};

// An output device under the test's control: it plays nothing unless told to.
class ScriptedOutput final : public WaveOutDevice {
 public:
  int32_t Open(int32_t deviceId, const WaveFormat& format) override;
  std::string ErrorText(int32_t code) const override;
  int32_t Write(WaveHeader* header) override;
  int64_t PositionBytes() const override { return positionBytes; }
  DeviceCounts Counts() const override { return {}; }
  bool Lost() const override { return lost; }
  void Close() override;

  int32_t openResult = kDeviceOk;
  bool lost = false;  // as when the audio server went away; cleared by Close
  int64_t positionBytes = 0;
  std::vector<WaveHeader*> written;
};

// Every message box shown while it lives.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();
  struct Message {
    std::string text;
    int32_t style;
    std::string caption;
  };
  std::vector<Message> messages;
};

// The blocks an engine handles, in order, while the object lives: the engine lets events
// run after each block it handles, so the changes of NextBlock seen there are the blocks.
// Takes the pending-events hook until Stop or the end of its life.
class HandledBlocks {
 public:
  explicit HandledBlocks(const StreamEngine& engine);
  ~HandledBlocks() { Stop(); }
  HandledBlocks(const HandledBlocks&) = delete;
  HandledBlocks& operator=(const HandledBlocks&) = delete;

  void Stop();
  // Fails the test unless every block of the ring was handled once, in ring order.
  void ExpectEachOnceInOrder(int32_t blockCount) const;

  std::vector<int32_t> blocks;

 private:
  const StreamEngine& engine_;
  int32_t seen_;
};

// An engine on the built-in devices driven by a manual clock; the output is the built-in
// one, or a scripted one when given.
struct EngineRig {
  explicit EngineRig(WaveOutDevice* output = nullptr, DeviceConfig config = {});
  ~EngineRig();

  // InitStream and OpenStream with the given devices; the test fails unless it runs.
  void Start(int32_t input = kSilenceIn, int32_t output = kNullOut);
  // The devices capture and play this many frames.
  void Advance(int32_t frames) { clock.Advance(frames); }
  int32_t BlockLen() const { return engine.Layout().BlockLen; }

  ManualClock clock;
  AudioDevices devices;
  RecordingChain chain;
  StreamEngine engine;
};

}  // namespace ampora::test
