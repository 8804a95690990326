#include "audio/stream_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "audio/devices/header_queue.h"
#include "audio/stream_format.h"
#include "engine_rig.h"
#include "util/message_seam.h"
#include "util/pending_events.h"

namespace ampora::test {
namespace {

TEST(StreamEngine, FirstPollFindsTheLagBelowTheWindowAndLengthensItsBlock) {
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.Start();
  rig.Advance(309);
  EXPECT_EQ(rig.engine.PollStream(), 0);
  // LagAverage = round((309 - 0 + 0) / 2) = 154, below 882 frames: longer by round(30.9).
  EXPECT_EQ(rig.engine.LagAverage(), 154);
  EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(0)), 309 + 31);
  EXPECT_EQ(rig.engine.PlayHeader(0).borrowedBytes, 31 * BlockAlign);
  EXPECT_EQ(rig.engine.LengthTrim(), -31);
  EXPECT_EQ(rig.engine.PlayQueued(0), 1);
  EXPECT_EQ(rig.engine.NextBlock(), 1);
  EXPECT_FALSE(rig.engine.CaptureHeader(0).IsDone()) << "queued for capture again";
  // Nothing more has completed.
  rig.Advance(308);
  EXPECT_EQ(rig.engine.PollStream(), -1);
}

struct CorrectionCase {
  float bufferMs;
  int32_t longer;
  int32_t shorter;
};

class LengthCorrections : public ::testing::TestWithParam<CorrectionCase> {};

// Both corrections round half to even; when several blocks completed since the last
// tick, all are handled and only the first is measured and corrected.
TEST_P(LengthCorrections, RoundToNearestAndApplyToTheFirstBlockOfAPoll) {
  const CorrectionCase c = GetParam();
  {
    ScriptedOutput output;
    EngineRig rig(&output);
    rig.engine.BufferMS = c.bufferMs;
    rig.Start();
    rig.Advance(rig.BlockLen());
    rig.engine.PollStream();
    EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(0)) - rig.BlockLen(), c.longer);
  }
  {
    ScriptedOutput output;
    EngineRig rig(&output);
    rig.engine.BufferMS = c.bufferMs;
    rig.Start();
    // Half of what was captured is far above the 3087-frame maximum.
    const int32_t blocks = 2 * 3200 / rig.BlockLen() + 2;
    rig.Advance(blocks * rig.BlockLen());
    EXPECT_EQ(rig.engine.PollStream(), blocks - 1);
    EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(0)) - rig.BlockLen(), c.shorter);
    EXPECT_EQ(rig.engine.PlayHeader(0).borrowedBytes, 0);
    for (int32_t k = 1; k < blocks; ++k) {
      EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(k)), rig.BlockLen()) << "block " << k;
    }
    EXPECT_EQ(rig.engine.LengthTrim(), -c.shorter);
  }
}

INSTANTIATE_TEST_SUITE_P(BlockLengths, LengthCorrections,
                         ::testing::Values(CorrectionCase{7.0f, 31, -154},  // 30.9, -154.5
                                           CorrectionCase{1.0f, 4, -22}));  // 4.4, -22

TEST(StreamEngine, LastBlockOfTheRingIsNeverCorrected) {
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.engine.DelayMinMS = 1.0f;
  rig.engine.DelayMaxMS = 2.0f;  // every measured lag is above the window
  rig.Start();
  const int32_t last = rig.engine.Layout().BlockCount - 1;
  for (int32_t k = 0; k < last; ++k) {
    rig.Advance(rig.BlockLen());
    ASSERT_EQ(rig.engine.PollStream(), k);
    ASSERT_EQ(HeaderFrames(rig.engine.PlayHeader(k)), rig.BlockLen() - 154);
  }
  const int32_t trimBefore = rig.engine.LengthTrim();
  rig.Advance(rig.BlockLen());
  ASSERT_EQ(rig.engine.PollStream(), last);
  EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(last)), rig.BlockLen());
  EXPECT_EQ(rig.engine.LengthTrim(), trimBefore);
}

TEST(StreamEngine, MinimumAboveMaximumTestsTheMaximumFirst) {
  for (const int32_t blocks : {1, 20}) {
    ScriptedOutput output;
    EngineRig rig(&output);
    rig.engine.DelayMinMS = 80.0f;  // 3528 frames
    rig.engine.DelayMaxMS = 50.0f;  // 2205 frames
    rig.Start();
    rig.Advance(blocks * 309);
    rig.engine.PollStream();
    // One block: lag 154, below both. Twenty: lag 3090, above both.
    EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(0)), blocks == 1 ? 309 + 31 : 309 - 154);
  }
}

TEST(StreamEngine, AbsurdDevicePositionsOnlyCorrectTheLength) {
  for (const int64_t position : {std::numeric_limits<int64_t>::min(), int64_t{1} << 62}) {
    ScriptedOutput output;
    output.positionBytes = position;
    EngineRig rig(&output);
    rig.Start();
    for (int32_t k = 0; k < 3; ++k) {
      rig.Advance(309);
      EXPECT_EQ(rig.engine.PollStream(), k) << position;
    }
  }
}

// An output whose clock runs a quarter slower than the input's: the corrections never
// stop, and the position difference and the corrections grow together for as long as
// the stream runs. The counters must stay small (the stream would stall once they
// overflowed), while every length stays the one that unbounded counters give.
TEST(StreamEngine, LastingClockDriftKeepsTheCountersSmall) {
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.Start();
  const BlockLayout layout = rig.engine.Layout();
  int64_t captured = 0;
  int64_t written = 0;
  int64_t average = 0;  // the unbounded model
  int64_t trims = 0;
  for (int32_t poll = 0; poll < 4000; ++poll) {
    rig.Advance(layout.BlockLen);
    captured += layout.BlockLen;
    output.positionBytes = std::min(written, captured * 3 / 4) * BlockAlign;
    const int32_t k = poll % layout.BlockCount;
    ASSERT_EQ(rig.engine.PollStream(), k) << "poll " << poll;

    average = static_cast<int64_t>(
        std::nearbyint((captured - output.positionBytes / BlockAlign + average) / 2.0));
    const int64_t lag = average - trims;
    int32_t trim = lag > layout.DelayMaxFrames ? -154 : lag < layout.DelayMinFrames ? 31 : 0;
    if (k == layout.BlockCount - 1) trim = 0;
    trims -= trim;
    const int32_t frames = HeaderFrames(rig.engine.PlayHeader(k));
    ASSERT_EQ(frames, layout.BlockLen + trim) << "poll " << poll;
    ASSERT_EQ(int64_t{rig.engine.LagAverage()} - rig.engine.LengthTrim(), average - trims)
        << "poll " << poll;
    ASSERT_LT(std::abs(rig.engine.LengthTrim()), 1 << 18) << "poll " << poll;
    ASSERT_LT(std::abs(rig.engine.LagAverage()), 1 << 18) << "poll " << poll;
    written += frames;
    for (WaveHeader* header : output.written) header->MarkDone();
    output.written.clear();
  }
  EXPECT_GT(trims, 1 << 18) << "the counters would have grown past the bound";
}

TEST(StreamEngine, HandlesEveryBlockOnceInRingOrderWhateverTheTiming) {
  EngineRig rig;
  rig.Start();
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> step(0, 2000);
  const int32_t blockLen = rig.BlockLen();
  const int32_t ringLen = rig.engine.Layout().RingLen;
  int64_t captured = 0;
  while (captured < 3 * static_cast<int64_t>(ringLen)) {
    const int32_t frames = step(rng);
    rig.Advance(frames);
    captured += frames;
    const int32_t last = rig.engine.PollStream();
    const auto handled = static_cast<int64_t>(rig.chain.starts.size());
    ASSERT_EQ(handled, captured / blockLen);
    if (last != -1) {
      ASSERT_EQ(last, (handled - 1) % rig.engine.Layout().BlockCount);
    }
  }
  for (size_t n = 0; n < rig.chain.starts.size(); ++n) {
    ASSERT_EQ(rig.chain.starts[n], static_cast<int32_t>(n * blockLen % ringLen)) << "block " << n;
  }
}

TEST(StreamEngine, PlayBlockStillQueuedAfterARingPeriodHoldsThePoll) {
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.Start();
  const int32_t count = rig.engine.Layout().BlockCount;
  for (int32_t k = 0; k < count; ++k) {
    rig.Advance(309);
    ASSERT_EQ(rig.engine.PollStream(), k);
  }
  rig.Advance(2 * 309);  // capture goes on into the queued blocks
  EXPECT_EQ(rig.engine.PollStream(), -1);
  EXPECT_EQ(rig.engine.NextBlock(), 0);
  EXPECT_TRUE(rig.engine.CaptureHeader(0).IsDone()) << "left for a later poll";
  EXPECT_EQ(rig.chain.starts.size(), static_cast<size_t>(count));

  output.written[0]->MarkDone();
  EXPECT_EQ(rig.engine.PollStream(), 0) << "block 1's play buffer is still out";
  EXPECT_EQ(rig.engine.PlayQueued(0), 1);
  EXPECT_EQ(rig.chain.starts.back(), 0);
}

TEST(StreamEngine, TunerModeCapturesWithoutPlaying) {
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.engine.TunerOn = 1;
  rig.Start();
  ASSERT_EQ(rig.BlockLen(), 2048);
  ASSERT_EQ(rig.engine.Layout().BlockCount, 64);
  EXPECT_EQ(rig.engine.PollStream(), -1);
  rig.Advance(3 * 2048 + 100);
  EXPECT_EQ(rig.engine.PollStream(), 2) << "the last block captured";
  for (int32_t k = 0; k < 3; ++k) EXPECT_FALSE(rig.engine.CaptureHeader(k).IsDone());
  // Well past a ring period: nothing holds the poll.
  for (int32_t round = 0; round < 100; ++round) {
    rig.Advance(2048);
    EXPECT_EQ(rig.engine.PollStream(), (3 + round) % 64);
  }
  EXPECT_TRUE(output.written.empty());
  EXPECT_TRUE(rig.chain.starts.empty());
  for (int32_t k = 0; k < 64; ++k) EXPECT_EQ(rig.engine.PlayQueued(k), 0);
}

TEST(StreamEngine, ChainRunsUnlessTheBypassIsOn) {
  for (const int32_t bypass : {0, 1}) {
    EngineRig rig;
    rig.engine.BypassOn = bypass;
    rig.Start(kTestToneIn);
    rig.Advance(2 * 309);
    EXPECT_EQ(rig.engine.PollStream(), 1);
    if (bypass == 1) {
      EXPECT_TRUE(rig.chain.starts.empty());
      EXPECT_EQ(rig.engine.Buffers().PlayRing[100].left,
                rig.engine.Buffers().CaptureRing[100].left);
    } else {
      EXPECT_EQ(rig.chain.starts, (std::vector<int32_t>{0, 309}));
    }
  }
}

TEST(StreamEngine, BypassScalesTheLeftInputAndClips) {
  EngineRig rig;
  rig.engine.InitStream();
  StreamBuffers& b = rig.engine.Buffers();
  const std::vector<Frame> input{{32767, 5}, {-32768, 5}, {3, -32768}, {5, 0}, {-7, 0}, {1000, 1}};
  std::copy(input.begin(), input.end(), b.CaptureRing.begin());

  rig.engine.BypassBlock(0, 5);
  const std::vector<std::pair<int, int>> unit{{32767, 32767}, {-32767, -32767}, {3, 3},
                                              {5, 5},         {-7, -7},         {1000, 1000}};
  for (size_t i = 0; i < unit.size(); ++i) {
    EXPECT_EQ(b.PlayRing[i].left, unit[i].first) << i;
    EXPECT_EQ(b.PlayRing[i].right, unit[i].second) << i;
  }

  // Only InGain[0] is used; products round half to even.
  b.InGain = {0.5f, 100.0f};
  b.OutGain = {1.0f, 3.0f};
  rig.engine.BypassBlock(0, 5);
  const std::vector<std::pair<int, int>> scaled{{16384, 32767}, {-16384, -32767}, {2, 4},
                                                {2, 8},         {-4, -10},        {500, 1500}};
  for (size_t i = 0; i < scaled.size(); ++i) {
    EXPECT_EQ(b.PlayRing[i].left, scaled[i].first) << i;
    EXPECT_EQ(b.PlayRing[i].right, scaled[i].second) << i;
  }

  // Both faders at +50 dB: the products leave the 32-bit range and clip all the same.
  b.InGain = {316.2278f, 1.0f};
  b.OutGain = {316.2278f, -316.2278f};
  rig.engine.BypassBlock(0, 1);
  EXPECT_EQ(b.PlayRing[0].left, 32767);
  EXPECT_EQ(b.PlayRing[0].right, -32767);
  EXPECT_EQ(b.PlayRing[1].left, -32767);

  // A block outside the ring is refused, not written.
  rig.engine.BypassBlock(b.RingLen - 2, b.RingLen + 5);
  rig.engine.BypassBlock(-3, 2);
  EXPECT_EQ(b.PlayRing[b.RingLen - 1].left, 0);
}

TEST(StreamEngine, InitStreamBringsHandEditedTimingsIntoRange) {
  struct Case {
    float bufferMs, delayMinMs, delayMaxMs;
    int32_t blockLen, minFrames, maxFrames;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {7, 20, 70, 309, 882, 3087},
      {30, 20, 70, 1323, 882, 3087},
      {1, 20, 70, 44, 882, 3087},
      {0, 0, 1, 44, 44, 88},
      {-5, -1, -1, 44, 44, 88},
      {nan, nan, nan, 309, 882, 3087},
      {1e9f, 1e9f, 1e9f, 1323, 44100, 44100},
      {inf, -inf, inf, 1323, 44, 44100},
  };
  for (const Case& c : cases) {
    EngineRig rig;
    rig.engine.BufferMS = c.bufferMs;
    rig.engine.DelayMinMS = c.delayMinMs;
    rig.engine.DelayMaxMS = c.delayMaxMs;
    rig.engine.InitStream();
    const BlockLayout& layout = rig.engine.Layout();
    SCOPED_TRACE(testing::Message() << c.bufferMs << " " << c.delayMinMs << " " << c.delayMaxMs);
    EXPECT_EQ(layout.BlockLen, c.blockLen);
    EXPECT_EQ(layout.BlockCount, 132300 / c.blockLen);
    EXPECT_EQ(layout.RingLen, layout.BlockLen * layout.BlockCount);
    EXPECT_EQ(rig.engine.Buffers().CaptureRing.size(), static_cast<size_t>(layout.RingLen));
    for (const auto& ring : rig.engine.Buffers().StageRing)
      EXPECT_EQ(ring.size(), static_cast<size_t>(layout.RingLen));
    EXPECT_EQ(layout.DelayMinFrames, c.minFrames);
    EXPECT_EQ(layout.DelayMaxFrames, c.maxFrames);
    EXPECT_FALSE(std::isnan(rig.engine.BufferMS)) << "the clamped value is kept";
    EXPECT_EQ(rig.engine.BlockStart(layout.BlockCount - 1), layout.RingLen - layout.BlockLen);
  }
}

TEST(StreamEngine, InitStreamWhileOpenClosesTheDevicesFirst) {
  EngineRig rig;
  rig.Start();
  rig.Advance(1000);
  rig.engine.BufferMS = 30.0f;
  rig.engine.InitStream();
  EXPECT_EQ(rig.engine.StreamRunning(), 0);
  // The devices hold no block of the freed rings: capturing on touches nothing.
  rig.Advance(100000);
  EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 0);
  rig.engine.OpenStream();
  rig.Advance(1323);
  EXPECT_EQ(rig.engine.PollStream(), 0);
}

TEST(StreamEngine, OpenFailuresShowTheDeviceTextAndLeaveTheStreamClosed) {
  {
    MessageLog log;
    EngineRig rig;  // no WAV file configured
    rig.engine.WaveDeviceId = {kWavFileIn, kNullOut};
    rig.engine.InitStream();
    rig.engine.OpenStream();
    EXPECT_EQ(rig.engine.StreamRunning(), 0);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].text, "WAVファイルが設定されていません。");
    EXPECT_EQ(log.messages[0].style, kMbOk);
    EXPECT_EQ(log.messages[0].caption, "");
  }
  {
    MessageLog log;
    ScriptedOutput output;
    output.openResult = kDeviceFailed;
    EngineRig rig(&output);
    rig.engine.WaveDeviceId = {kSilenceIn, 0};
    rig.engine.InitStream();
    rig.engine.OpenStream();
    EXPECT_EQ(rig.engine.StreamRunning(), 0);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].text, "scripted failure 1");
    rig.Advance(5000);
    EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 0) << "capture was stopped again";
  }
  {
    MessageLog log;
    EngineRig rig;
    rig.engine.WaveDeviceId = {42, kNullOut};
    rig.engine.OpenStream();  // without InitStream: the rings are made first
    EXPECT_EQ(rig.engine.StreamRunning(), 0);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].text, DeviceErrorText(kDeviceBadId));
  }
}

// An input that opens but cannot start, as on a JACK server that refuses to activate
// its client.
class InputThatCannotStart final : public WaveInDevice {
 public:
  explicit InputThatCannotStart(WaveInDevice& input) : input_(input) {}
  int32_t Open(int32_t deviceId, const WaveFormat& format) override {
    return input_.Open(deviceId, format);
  }
  std::string ErrorText(int32_t code) const override { return "refused " + std::to_string(code); }
  int32_t Queue(WaveHeader* header) override { return input_.Queue(header); }
  int32_t Start() override { return kDeviceFailed; }
  int64_t PositionBytes() const override { return input_.PositionBytes(); }
  DeviceCounts Counts() const override { return input_.Counts(); }
  void Close() override { input_.Close(); }

 private:
  WaveInDevice& input_;
};

TEST(StreamEngine, AnInputThatCannotStartIsSaidSo) {
  MessageLog log;
  EngineRig rig;
  InputThatCannotStart input(rig.devices.WaveIn());
  StreamEngine engine(input, rig.devices.WaveOut(), rig.chain);
  engine.WaveDeviceId = {kSilenceIn, kNullOut};
  engine.InitStream();
  engine.OpenStream();
  EXPECT_EQ(engine.StreamRunning(), 0);
  ASSERT_EQ(log.messages.size(), 1u) << "a Start that cannot stream says so";
  EXPECT_EQ(log.messages[0].text, "refused " + std::to_string(kDeviceFailed));
  rig.Advance(5000);
  EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 0) << "the input was closed again";
}

TEST(StreamEngine, ADeviceThatStopsByItselfEndsTheStreamWithOneMessage) {
  MessageLog log;
  ScriptedOutput output;
  EngineRig rig(&output);
  rig.engine.WaveDeviceId = {kSilenceIn, 0};
  rig.Start();
  rig.Advance(2 * 309);
  EXPECT_EQ(rig.engine.PollStream(), 1);
  output.lost = true;
  rig.Advance(309);
  EXPECT_EQ(rig.engine.PollStream(), -1) << "no block of a lost stream is handled";
  EXPECT_EQ(rig.engine.StreamRunning(), 0);
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].text, "scripted failure " + std::to_string(kDeviceLost));
  EXPECT_EQ(log.messages[0].style, kMbOk);
  rig.Advance(5000);
  EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 0) << "capture was stopped";

  rig.engine.InitStream();
  rig.engine.OpenStream();
  rig.Advance(309);
  EXPECT_EQ(rig.engine.PollStream(), 0) << "the next Start streams again";
  EXPECT_EQ(log.messages.size(), 1u);
}

// A pending-events hook that runs action at its n-th call (1-based).
void ActAtEventPoint(int n, std::function<void()> action) {
  auto calls = std::make_shared<int>(0);
  SetPendingEventsHook([calls, n, action = std::move(action)] {
    if (++*calls == n) action();
  });
}

TEST(StreamEngine, StreamClosedByAnEventEndsThePoll) {
  // The poll lets events run before each block and after each handled block.
  for (const auto& [point, expected] : {std::pair{1, -1}, std::pair{2, 0}, std::pair{4, 1}}) {
    EngineRig rig;
    rig.Start();
    rig.Advance(5 * 309);
    ActAtEventPoint(point, [&] { rig.engine.CloseStream(); });
    EXPECT_EQ(rig.engine.PollStream(), expected) << "closed at event point " << point;
    EXPECT_EQ(rig.chain.starts.size(), static_cast<size_t>(expected + 1));
  }
}

TEST(StreamEngine, RestartByAnEventContinuesOnTheNewStream) {
  EngineRig rig;
  rig.Start();
  rig.Advance(3 * 309);
  ActAtEventPoint(2, [&] {
    rig.engine.CloseStream();
    rig.engine.InitStream();
    rig.engine.OpenStream();
  });
  EXPECT_EQ(rig.engine.PollStream(), 0) << "block 0 of the old stream was the last handled";
  EXPECT_EQ(rig.engine.NextBlock(), 0);
  EXPECT_EQ(rig.engine.PlayQueued(0), 0);
  rig.Advance(309);
  EXPECT_EQ(rig.engine.PollStream(), 0);
  EXPECT_EQ(rig.chain.starts, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(HeaderFrames(rig.engine.PlayHeader(0)), 309 + 31) << "lag control starts afresh";
}

TEST(StreamEngine, RestartInsideTheChainAbandonsTheBlock) {
  EngineRig rig;
  rig.Start();
  rig.Advance(2 * 309);
  rig.chain.inside = [&] {
    rig.chain.inside = nullptr;
    rig.engine.CloseStream();
    rig.engine.InitStream();
    rig.engine.OpenStream();
  };
  EXPECT_EQ(rig.engine.PollStream(), -1);
  EXPECT_EQ(rig.engine.PlayQueued(0), 0) << "nothing of the old stream is played";
  // The new stream's block 0 is queued once: it completes and is handled once.
  for (int32_t k = 0; k < 3; ++k) {
    rig.Advance(309);
    EXPECT_EQ(rig.engine.PollStream(), k);
  }
  EXPECT_EQ(rig.chain.starts, (std::vector<int32_t>{0, 0, 309, 618}));

  // The counts: two blocks of the first stream filled and left, three handled since.
  rig.engine.CloseStream();
  const StreamCounts counts = rig.engine.Counts();
  EXPECT_EQ(counts.opens, 2);
  EXPECT_EQ(counts.blocksFilled, 5);
  EXPECT_EQ(counts.blocksHandled, 3);
  EXPECT_EQ(counts.blocksLeftAtClose, 2);
  EXPECT_EQ(counts.blocksHandledTwice, 0);
  EXPECT_EQ(counts.framesDropped, 0);
}

// What the reliability scripts read: sound lost in a running stream, on either side.
TEST(StreamEngine, CountsShowCaptureThatFoundNoBlockAndPlaybackGaps) {
  {
    EngineRig rig;
    rig.Start();
    const BlockLayout layout = rig.engine.Layout();
    rig.Advance(layout.RingLen + 500);  // no poll: every block filled, then nowhere to go
    const StreamCounts counts = rig.engine.Counts();
    EXPECT_EQ(counts.blocksFilled, layout.BlockCount);
    EXPECT_EQ(counts.framesDropped, 500);
    EXPECT_EQ(counts.gapFrames, 0) << "silence before the first block is no gap";
  }
  {
    EngineRig rig;
    rig.Start();
    rig.Advance(309);
    ASSERT_EQ(rig.engine.PollStream(), 0);
    ASSERT_EQ(HeaderFrames(rig.engine.PlayHeader(0)), 340);
    // Only block 0 was written: its 309 frames played, then silence, first in place of
    // the 31 frames it borrowed from block 1, which never became final.
    rig.Advance(1000);
    StreamCounts counts = rig.engine.Counts();
    EXPECT_EQ(counts.blocksPlayed, 1);
    EXPECT_EQ(counts.gapFrames, 691);
    EXPECT_EQ(counts.framesDropped, 0);
    // A restart begins a new stream: its opening silence is no gap either.
    rig.engine.CloseStream();
    rig.engine.OpenStream();
    rig.Advance(200);
    counts = rig.engine.Counts();
    EXPECT_EQ(counts.gapFrames, 691);
    EXPECT_EQ(counts.blocksLeftAtClose, 3);
  }
}

}  // namespace
}  // namespace ampora::test
