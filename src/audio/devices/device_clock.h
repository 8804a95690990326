#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// The time base of the built-in devices. A running device is moved on by a number of
// frames at a time: in real time by a clock thread at the sample rate, or, in tests, by
// hand, which makes every poll of the engine deterministic.

namespace ampora {

class ClockedDevice {
 public:
  virtual ~ClockedDevice() = default;
  // Clock thread: frames worth of time have passed. Copies frames and flips flags only.
  virtual void Advance(int32_t frames) = 0;
};

class DeviceClock {
 public:
  virtual ~DeviceClock() = default;
  // UI thread: starts moving the device on at sampleRate frames a second.
  virtual void Run(ClockedDevice& device, int32_t sampleRate) = 0;
  // UI thread: when it returns, Advance of the device is not running and is not called
  // again until the next Run.
  virtual void Halt(ClockedDevice& device) = 0;
};

// One thread per running device, advancing it by the frames that have passed on the
// steady clock since Run (checked every millisecond).
class RealTimeClock final : public DeviceClock {
 public:
  ~RealTimeClock() override;
  void Run(ClockedDevice& device, int32_t sampleRate) override;
  void Halt(ClockedDevice& device) override;

 private:
  struct Runner {
    ClockedDevice* device;
    int32_t sampleRate;
    std::atomic<bool> stop{false};
    std::thread thread;
  };
  static void Loop(Runner& runner);

  std::vector<std::unique_ptr<Runner>> runners_;
};

// Moved on by the test: Advance(n) advances every running device by n frames, in the
// order they started, on the calling thread.
class ManualClock final : public DeviceClock {
 public:
  void Run(ClockedDevice& device, int32_t sampleRate) override;
  void Halt(ClockedDevice& device) override;
  void Advance(int32_t frames);

 private:
  std::vector<ClockedDevice*> running_;
};

}  // namespace ampora
