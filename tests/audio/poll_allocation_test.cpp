#include <gtest/gtest.h>

#include "audio/devices/audio_devices.h"
#include "audio/stream_engine.h"
#include "effects/effect_chain.h"
#include "engine_rig.h"
#include "support/allocation_counter.h"
#include "util/pending_events.h"

namespace ampora::test {
namespace {

// The engine with the real effect chain on the built-in devices (silence in, null out).
struct ChainedEngine {
  ManualClock clock;
  AudioDevices devices{DeviceConfig{"", "", "", false}, &clock};
  StreamEngine engine{devices.WaveIn(), devices.WaveOut(), chain};
  EffectChain chain{engine.Buffers()};
};

// Streaming allocates only in InitStream: neither the poll with the chain or the bypass,
// nor the devices' side of a block (the clock's Advance) allocates.
TEST(StreamEngine, PollAllocatesNothing) {
  for (const int32_t bypass : {0, 1}) {
    ChainedEngine rig;
    rig.engine.BypassOn = bypass;
    rig.engine.WaveDeviceId = {kTestToneIn, kNullOut};
    rig.engine.InitStream();
    rig.engine.OpenStream();
    ASSERT_EQ(rig.engine.StreamRunning(), 1);
    int32_t events = 0;
    SetPendingEventsHook([&events] { ++events; });
    const int32_t blockLen = rig.engine.Layout().BlockLen;
    const uint64_t before = AllocationCount();
    for (int32_t k = 0; k < 1000; ++k) {
      rig.clock.Advance(k % 3 == 0 ? 2 * blockLen : blockLen / 2);
      rig.engine.PollStream();
    }
    EXPECT_EQ(AllocationCount(), before) << (bypass == 1 ? "bypass" : "chain");
    EXPECT_GT(events, 1000);
    SetPendingEventsHook({});
  }
}

}  // namespace
}  // namespace ampora::test
