// ampora-lag-probe: streams through the JACK server of JACK_DEFAULT_SERVER (system ports,
// bypass), or with --api through the default devices of another audio interface, for a while,
// polling every 5 ms as the main window does (or every POLL_MS), and reports the lag the latency
// control holds (LagAverage - LengthTrim): its median and its worst, how often the control
// corrected a block and the frames lost on the way (dropped at the input, silence played at the
// output). It asks for the program's priority.
//   ampora-lag-probe [--api jack|pulse|alsa] SECONDS [BufferMS DelayMinMS DelayMaxMS [POLL_MS]]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "audio/device_catalogue.h"
#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"
#include "live/process_priority.h"

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
  std::string api = "jack";
  if (argc >= 3 && std::string(argv[1]) == "--api") {
    api = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc != 2 && argc != 5 && argc != 6) {
    std::fprintf(stderr,
                 "usage: ampora-lag-probe [--api jack|pulse|alsa] SECONDS [BufferMS DelayMinMS "
                 "DelayMaxMS [POLL_MS]]\n");
    return 2;
  }
  const int seconds = std::atoi(argv[1]);
  const int pollMs = argc == 6 ? std::max(1, std::atoi(argv[5])) : 5;
  // As the program does, before the devices start their threads.
  RaiseProcessPriority();
  AudioDevices devices(DeviceConfig{api, "", "", true});
  if (devices.ApiName() != api) {
    std::fprintf(stderr, "the audio interface %s has no devices\n", api.c_str());
    return 1;
  }
  NoChain chain;
  StreamEngine engine(devices.WaveIn(), devices.WaveOut(), chain);
  if (argc >= 5) {
    engine.BufferMS = std::strtof(argv[2], nullptr);
    engine.DelayMinMS = std::strtof(argv[3], nullptr);
    engine.DelayMaxMS = std::strtof(argv[4], nullptr);
  }
  const DeviceCatalogue catalogue([&](int32_t d) { return devices.Names(d); });
  if (api == "jack") {
    engine.WaveDeviceId = {catalogue.DeviceIdByName(1, "system", 0),
                           catalogue.DeviceIdByName(0, "system", 0)};
  }
  engine.SampleRate = devices.StreamRate(engine.WaveDeviceId[0], engine.WaveDeviceId[1]);
  engine.BypassOn = 1;
  engine.InitStream();
  engine.OpenStream();
  if (engine.StreamRunning() != 1) return 1;

  const BlockLayout layout = engine.Layout();
  int corrections = 0;
  int32_t trim = engine.LengthTrim();
  std::vector<int32_t> lags;
  lags.reserve(static_cast<size_t>(seconds) * 1000 / static_cast<size_t>(pollMs) + 1);
  // The losses while the average settles are left out, as the lags are.
  int64_t settledIn = 0, settledOut = 0, droppedIn = 0, droppedOut = 0;
  const auto start = Clock::now();
  const auto end = start + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    engine.PollStream();
    if (engine.LengthTrim() != trim) {
      ++corrections;
      trim = engine.LengthTrim();
    }
    // The first seconds settle the average; the rest is what the control holds.
    if (Clock::now() - start < std::chrono::seconds(3)) {
      corrections = 0;
      settledIn = devices.WaveIn().Counts().lostFrames;
      settledOut = devices.WaveOut().Counts().lostFrames;
      continue;
    }
    lags.push_back(engine.LagAverage() - engine.LengthTrim());
    droppedIn = devices.WaveIn().Counts().lostFrames - settledIn;
    droppedOut = devices.WaveOut().Counts().lostFrames - settledOut;
  }
  engine.CloseStream();
  if (lags.empty()) return 1;
  std::sort(lags.begin(), lags.end());
  const int32_t median = lags[lags.size() / 2];
  const double msPerFrame = 1000.0 / layout.SampleRate;
  std::printf(
      "block %d frames, window %d..%d frames, poll every %d ms; lag after 3 s: median %d frames "
      "(%.2f ms), worst %d frames (%.2f ms), least %d frames; %d corrections, dropouts: %lld "
      "frames in, %lld frames out (%.1f ms) in %d s\n",
      layout.BlockLen, layout.DelayMinFrames, layout.DelayMaxFrames, pollMs, median,
      median * msPerFrame, lags.back(), lags.back() * msPerFrame, lags.front(), corrections,
      static_cast<long long>(droppedIn), static_cast<long long>(droppedOut),
      static_cast<double>(droppedOut) * msPerFrame, seconds);
  return 0;
}
