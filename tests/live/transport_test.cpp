#include <gtest/gtest.h>

#include <algorithm>

#include "effects/effect_catalogue.h"
#include "live/live_rig.h"
#include "support/allocation_counter.h"
#include "util/error_trap.h"

namespace ampora::test {
namespace {

class TransportTest : public LiveTest {
 protected:
  bool AnyCaptured() {
    const std::vector<Frame>& ring = Engine().Buffers().CaptureRing;
    return std::any_of(ring.begin(), ring.end(), [](Frame f) { return f.left != 0; });
  }
};

struct ModeStep {
  int32_t button;
  int32_t bypassOn;
  int32_t tunerOn;
  int32_t selected;
  int32_t blockLen;
};

// Every mode button (re)starts the stream; bypass and tuner exclude each other.
TEST_F(TransportTest, ModeButtonsFollowTheModeTable) {
  StartWith("");
  ASSERT_EQ(Engine().StreamRunning(), 0);
  const ModeStep steps[] = {
      {kBypassButton, 1, 0, 1, 309},   // from the stopped state: streams in bypass
      {kTunerButton, 0, 1, 2, 2048},   // the tuner switches the bypass off
      {kTunerButton, 0, 0, -1, 309},   // leaving the tuner gives normal, not bypass
      {kTunerButton, 0, 1, 2, 2048},   //
      {kBypassButton, 1, 0, 1, 309},   // tuner off, then the bypass toggles 0 -> 1
      {kBypassButton, 0, 0, -1, 309},  //
      {kStartButton, 0, 0, -1, 309},   // restarts in the current mode
  };
  for (const ModeStep& step : steps) {
    SCOPED_TRACE(testing::Message()
                 << "button " << step.button << " to selected " << step.selected);
    Live().ButtonClicked(step.button);
    EXPECT_EQ(Engine().BypassOn, step.bypassOn);
    EXPECT_EQ(Engine().TunerOn, step.tunerOn);
    EXPECT_EQ(Live().SelectedButton(), step.selected);
    EXPECT_EQ(view.SelectedButton(), step.selected);
    EXPECT_EQ(view.TunerShown(), step.tunerOn == 1);
    EXPECT_EQ(Engine().Layout().BlockLen, step.blockLen);
    EXPECT_EQ(Engine().StreamRunning(), 1);
    EXPECT_EQ(view.StartCaption(), kResetCaption);
  }
  Live().ButtonClicked(kStoreButton);
  EXPECT_EQ(Engine().StreamRunning(), 1) << "Store leaves the stream alone";
}

TEST_F(TransportTest, StartWhileRunningRestartsTheWholeStream) {
  StartWith("");  // the demo guitar into the null output
  Live().ButtonClicked(kStartButton);
  Advance(3 * 309);
  Live().Tick();
  ASSERT_EQ(Engine().NextBlock(), 3);
  ASSERT_NE(Engine().LagAverage(), 0);
  ASSERT_TRUE(AnyCaptured());

  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(Engine().StreamRunning(), 1);
  EXPECT_EQ(Engine().NextBlock(), 0);
  EXPECT_EQ(Engine().LagAverage(), 0);
  EXPECT_EQ(Engine().LengthTrim(), 0);
  EXPECT_FALSE(AnyCaptured()) << "the rings are allocated afresh";
}

TEST_F(TransportTest, AFailedOpenShowsStartAndKeepsTheNewMode) {
  StartWith("[conf]\nDeviceOut=9\n");  // an id given as digits, naming no device
  Live().ButtonClicked(kBypassButton);
  EXPECT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(Engine().StreamRunning(), 0);
  EXPECT_EQ(view.StartCaption(), kStartCaption);
  EXPECT_EQ(Engine().BypassOn, 1);
  EXPECT_EQ(Live().SelectedButton(), 1);

  Live().WaveOutChoice().Choose(0);  // the null output
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(Engine().StreamRunning(), 1);
  EXPECT_EQ(Engine().BypassOn, 1) << "the later start runs in the mode chosen before";
  EXPECT_EQ(view.StartCaption(), kResetCaption);
}

// While a transport action waits, clicks, keys and Store find UiBusy and are dropped.
TEST_F(TransportTest, ActionsDuringARestartAreDropped) {
  StartWith("[Bank04]\nBankName=Four\n");
  bool consumed = true;
  DuringNextEvents([&] {
    EXPECT_EQ(Live().UiBusy(), 1);
    consumed = Live().KeyReleased(kKeyF1 + 3, 0);
    Live().ButtonClicked(kTunerButton);
    Live().ButtonClicked(kStoreButton);
  });
  Live().ButtonClicked(kStartButton);
  EXPECT_FALSE(consumed);
  EXPECT_EQ(view.TextNum(), "");
  EXPECT_EQ(Engine().TunerOn, 0);
  EXPECT_EQ(Live().PendingBankName(), "");
  EXPECT_EQ(Live().UiBusy(), 0);

  EXPECT_TRUE(Live().KeyReleased(kKeyF1 + 3, 0));
  EXPECT_EQ(view.TextBank(), "Four");
}

TEST_F(TransportTest, AnErrorEscapingAnActionStillClearsUiBusy) {
  StartWith("");
  ErrorCatch = 1;
  DuringNextEvents([] { RaiseRuntimeError(ErrorKind::kFailedCheck, "scripted"); });
  EXPECT_THROW(Live().ButtonClicked(kStartButton), RuntimeError);
  EXPECT_EQ(Live().UiBusy(), 0);
}

TEST_F(TransportTest, TicksPollOnlyWhileStreamingAndNeverNest) {
  StartWith("");
  Advance(1000);
  const int32_t turnsBefore = eventTurns;
  Live().Tick();
  EXPECT_EQ(eventTurns, turnsBefore + 1) << "a tick lets events run first";
  EXPECT_EQ(Engine().NextBlock(), 0);

  Live().ButtonClicked(kStartButton);
  Advance(3 * 309);
  int32_t nextBlockSeenInside = -1;
  DuringNextEvents([&] {
    Live().Tick();  // a tick that arrives while one runs
    nextBlockSeenInside = Engine().NextBlock();
  });
  Live().Tick();
  EXPECT_EQ(nextBlockSeenInside, 0) << "the inner tick polled";
  EXPECT_EQ(Engine().NextBlock(), 3);
}

// The timer's work while streaming allocates nothing, with every effect on and the MIDI
// input drained, nor in tuner mode.
TEST_F(TransportTest, TicksAllocateNothing) {
  std::string everyEffectOn = "[conf]\nUseMIDIF=1\n[Current]\n";
  for (int e = 0; e < kEffectCount; ++e) everyEffectOn += ParamKey(e, 0) + "=1\n";
  StartWith(everyEffectOn);
  Live().ButtonClicked(kStartButton);
  ASSERT_EQ(Live().MidiActive, 1);
  uint64_t before = AllocationCount();
  for (int32_t k = 0; k < 300; ++k) {
    Advance(k % 3 == 0 ? 700 : 150);
    Live().Tick();
  }
  EXPECT_EQ(AllocationCount(), before);
  EXPECT_GT(Engine().NextBlock(), 100);

  Live().ButtonClicked(kTunerButton);
  view.tunerReadings.reserve(100);
  before = AllocationCount();
  for (int32_t k = 0; k < 100; ++k) {
    Advance(2048);
    Live().Tick();
  }
  EXPECT_EQ(AllocationCount(), before);
  EXPECT_EQ(view.tunerReadings.size(), 100u);
}

}  // namespace
}  // namespace ampora::test
