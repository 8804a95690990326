// ampora-lag-probe: streams through the JACK server of JACK_DEFAULT_SERVER (system ports,
// bypass) for a while, polling every 5 ms as the main window does, and reports the lag the
// latency control holds (LagAverage - LengthTrim) and how often it corrected a block.
//   ampora-lag-probe SECONDS [BufferMS DelayMinMS DelayMaxMS]

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio/device_catalogue.h"
#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"

namespace {

// Bypass mode never calls the chain.
class NoChain final : public ampora::BlockProcessor {
 public:
  int ProcessBlock(int32_t, int32_t) override { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace ampora;
  using Clock = std::chrono::steady_clock;
  if (argc != 2 && argc != 5) {
    std::fprintf(stderr, "usage: %s SECONDS [BufferMS DelayMinMS DelayMaxMS]\n", argv[0]);
    return 2;
  }
  const int seconds = std::atoi(argv[1]);
  AudioDevices devices(DeviceConfig{"jack", "", "", true});
  if (devices.ApiName() != "jack") {
    std::fprintf(stderr, "no JACK server answers\n");
    return 1;
  }
  NoChain chain;
  StreamEngine engine(devices.WaveIn(), devices.WaveOut(), chain);
  if (argc == 5) {
    engine.BufferMS = std::strtof(argv[2], nullptr);
    engine.DelayMinMS = std::strtof(argv[3], nullptr);
    engine.DelayMaxMS = std::strtof(argv[4], nullptr);
  }
  const DeviceCatalogue catalogue([&](int32_t d) { return devices.Names(d); });
  engine.WaveDeviceId = {catalogue.DeviceIdByName(1, "system", 0),
                         catalogue.DeviceIdByName(0, "system", 0)};
  engine.BypassOn = 1;
  engine.InitStream();
  engine.OpenStream();
  if (engine.StreamRunning() != 1) return 1;

  const BlockLayout layout = engine.Layout();
  int corrections = 0;
  int32_t trim = engine.LengthTrim();
  int64_t lagSum = 0, lagCount = 0;
  int32_t lagMin = INT32_MAX, lagMax = INT32_MIN;
  const auto start = Clock::now();
  const auto end = start + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    engine.PollStream();
    if (engine.LengthTrim() != trim) {
      ++corrections;
      trim = engine.LengthTrim();
    }
    // The first seconds settle the average; the rest is what the control holds.
    if (Clock::now() - start < std::chrono::seconds(3)) continue;
    const int32_t lag = engine.LagAverage() - engine.LengthTrim();
    lagSum += lag;
    ++lagCount;
    lagMin = std::min(lagMin, lag);
    lagMax = std::max(lagMax, lag);
  }
  engine.CloseStream();
  std::printf(
      "block %d frames, window %d..%d frames; lag after 3 s: mean %.0f, min %d, max %d frames "
      "(%.1f ms mean); %d corrections in %d s\n",
      layout.BlockLen, layout.DelayMinFrames, layout.DelayMaxFrames,
      lagCount ? static_cast<double>(lagSum) / lagCount : 0.0, lagMin, lagMax,
      lagCount ? lagSum / static_cast<double>(lagCount) / 44.1 : 0.0, corrections, seconds);
  return 0;
}
