#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "audio/devices/callback_gate.h"
#include "audio/devices/capture_feed.h"
#include "audio/devices/play_feed.h"
#include "audio/devices/spsc_ring.h"
#include "audio/stream_format.h"

namespace ampora {
namespace {

std::vector<Frame> Ramp(int32_t n, int16_t first) {
  std::vector<Frame> frames(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    frames[static_cast<size_t>(i)] =
        Frame{static_cast<int16_t>(first + i), static_cast<int16_t>(-first - i)};
  }
  return frames;
}

TEST(CaptureFeed, FillsQueuedHeadersInOrderAcrossDeliveries) {
  std::vector<Frame> ring(10);
  WaveHeader a{ring.data(), 4 * BlockAlign};
  WaveHeader b{ring.data() + 4, 4 * BlockAlign};
  CaptureFeed feed;
  feed.Queue(&a);
  feed.Queue(&b);
  const std::vector<Frame> input = Ramp(11, 1);
  feed.Deliver(input.data(), 3);
  EXPECT_FALSE(a.IsDone());
  feed.Deliver(input.data() + 3, 3);
  EXPECT_TRUE(a.IsDone());
  EXPECT_FALSE(b.IsDone());
  feed.Deliver(input.data() + 6, 5);  // 2 fill b, 3 find no header and are dropped
  EXPECT_TRUE(b.IsDone());
  EXPECT_EQ(feed.FramesDelivered(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ring[i].left, i + 1);
  EXPECT_EQ(ring[8].left, 0) << "nothing written past the queued headers";
  EXPECT_EQ(feed.FramesDropped(), 3);

  feed.Queue(&a);
  feed.Deliver(input.data(), 1);
  feed.ReturnAll();
  EXPECT_TRUE(a.IsDone()) << "returned partly filled";
  EXPECT_EQ(feed.FramesDelivered(), 0);
  EXPECT_EQ(feed.FramesDropped(), 3) << "counted over restarts";
}

TEST(CaptureFeed, HeadersWithoutWholeFramesTakeNothing) {
  std::vector<Frame> ring(4);
  WaveHeader empty{ring.data(), 0};
  WaveHeader negative{ring.data(), -400};
  WaveHeader ragged{ring.data(), BlockAlign + 3};  // one whole frame
  CaptureFeed feed;
  feed.Queue(&empty);
  feed.Queue(&negative);
  feed.Queue(&ragged);
  const std::vector<Frame> input = Ramp(4, 7);
  feed.Deliver(input.data(), 4);
  EXPECT_TRUE(empty.IsDone() && negative.IsDone() && ragged.IsDone());
  EXPECT_EQ(ring[0].left, 7);
  EXPECT_EQ(ring[1].left, 0);
  EXPECT_EQ(feed.FramesDelivered(), 1);
}

TEST(PlayFeed, PlaysHeadersWholeThenSilence) {
  std::vector<Frame> ring = Ramp(12, 1);
  WaveHeader a{ring.data(), 3 * BlockAlign};
  WaveHeader b{ring.data() + 3, 2 * BlockAlign};
  PlayFeed feed;
  std::vector<Frame> out(4);
  EXPECT_EQ(feed.Pull(out.data(), 4), 0) << "silence before the first write";
  EXPECT_EQ(feed.FramesPlayed(), 0);
  EXPECT_EQ(feed.GapFrames(), 0) << "the start of the stream is no dropout";
  feed.Write(&a);
  feed.Write(&b);
  EXPECT_EQ(feed.Pull(out.data(), 4), 4);
  EXPECT_TRUE(a.IsDone());
  EXPECT_FALSE(b.IsDone());
  EXPECT_EQ(out[3].left, 4);
  EXPECT_EQ(feed.Pull(out.data(), 4), 1);
  EXPECT_TRUE(b.IsDone());
  EXPECT_EQ(out[0].left, 5);
  EXPECT_EQ(out[1].left, 0);
  EXPECT_EQ(feed.FramesPlayed(), 5);
  EXPECT_EQ(feed.GapFrames(), 3) << "silence after the last header: the engine is late";
  feed.Pull(out.data(), 4);
  EXPECT_EQ(feed.GapFrames(), 7);
}

// A lengthened block reaches into the next block's region, which the engine finishes
// only before it writes the next header.
TEST(PlayFeed, BorrowedFramesAreReadOnlyOnceTheNextHeaderIsQueued) {
  std::vector<Frame> ring = Ramp(8, 1);
  WaveHeader longer{ring.data(), 6 * BlockAlign, 2 * BlockAlign};
  WaveHeader next{ring.data() + 4, 4 * BlockAlign};
  std::vector<Frame> out(6);
  {
    PlayFeed feed;
    feed.Write(&longer);
    EXPECT_EQ(feed.Pull(out.data(), 6), 6);
    EXPECT_EQ(out[3].left, 4);
    EXPECT_EQ(out[4].left, 0) << "next block not ready: silence in its place";
    EXPECT_EQ(out[5].left, 0);
    EXPECT_TRUE(longer.IsDone());
    EXPECT_EQ(feed.GapFrames(), 2);
  }
  {
    PlayFeed feed;
    feed.Write(&longer);
    feed.Pull(out.data(), 4);
    feed.Write(&next);
    EXPECT_EQ(feed.Pull(out.data(), 6), 6);
    EXPECT_EQ(out[0].left, 5) << "the next block's first frames, heard twice";
    EXPECT_EQ(out[1].left, 6);
    EXPECT_EQ(out[2].left, 5);
    EXPECT_EQ(feed.FramesPlayed(), 10);
    EXPECT_EQ(feed.GapFrames(), 0);
  }
}

TEST(PlayFeed, ResetReturnsEveryQueuedHeader) {
  std::vector<Frame> ring(8);
  WaveHeader a{ring.data(), 4 * BlockAlign};
  WaveHeader b{ring.data() + 4, 4 * BlockAlign};
  PlayFeed feed;
  feed.Write(&a);
  feed.Write(&b);
  std::vector<Frame> out(2);
  feed.Pull(out.data(), 2);
  feed.ReturnAll();
  EXPECT_TRUE(a.IsDone());
  EXPECT_TRUE(b.IsDone());
  EXPECT_EQ(feed.FramesPlayed(), 0);
  EXPECT_EQ(feed.Pull(out.data(), 2), 0);
  EXPECT_EQ(feed.GapFrames(), 0) << "a restarted device is starting again, not late";
}

// A callback that got in before Close() is waited for, and none gets in until Open():
// the UI thread may then touch what the callbacks touch (under ThreadSanitizer, a race
// on the shared count would be reported).
TEST(CallbackGate, NoCallbackWorksBetweenCloseAndOpen) {
  CallbackGate gate;
  std::atomic<bool> stop{false};
  std::atomic<bool> inside{false};
  std::atomic<int64_t> entries{0};
  int64_t shared = 0;
  std::thread device([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      if (!gate.Enter()) continue;
      inside.store(true, std::memory_order_relaxed);
      ++shared;
      inside.store(false, std::memory_order_relaxed);
      entries.fetch_add(1, std::memory_order_relaxed);
      gate.Leave();
    }
  });
  int32_t caught = 0;
  for (int32_t round = 0; round < 20000; ++round) {
    gate.Open();
    std::this_thread::yield();
    gate.Close();
    if (inside.load(std::memory_order_relaxed)) ++caught;
    shared = 0;
  }
  stop.store(true, std::memory_order_relaxed);
  device.join();
  EXPECT_EQ(caught, 0);
  EXPECT_GT(entries.load(), 0);
}

// A capacity that is no power of two holds exactly that many items, in order, as the
// indices go round the storage many times.
TEST(SpscRing, AnyCapacityHoldsExactlyThatManyInOrder) {
  SpscRing<int> ring(5);
  EXPECT_EQ(ring.Capacity(), 5u);
  int next = 0;
  int expected = 0;
  for (int round = 0; round < 40; ++round) {
    const int items[7] = {next, next + 1, next + 2, next + 3, next + 4, next + 5, next + 6};
    const auto room = static_cast<int32_t>(5 - ring.Available());
    ASSERT_EQ(ring.Push(items, 7), room);
    next += room;
    ASSERT_EQ(ring.Available(), 5u);
    const uint32_t drop = 1 + round % 5;
    for (uint32_t i = 0; i < drop; ++i) ASSERT_EQ(ring.Peek(i), expected + static_cast<int>(i));
    ring.Drop(drop);
    expected += static_cast<int>(drop);
  }
}

}  // namespace
}  // namespace ampora
