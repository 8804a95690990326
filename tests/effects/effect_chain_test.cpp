#include "effects/effect_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "audio/stream_buffers.h"
#include "audio/stream_format.h"
#include "effects/effect_catalogue.h"
#include "support/allocation_counter.h"
#include "support/signals.h"
#include "util/error_trap.h"
#include "util/pending_events.h"
#include "util/rounding.h"

namespace ampora {
namespace {

EffectUnitTable OneUnit(EffectIndex effect, std::unique_ptr<EffectUnit> unit) {
  EffectUnitTable units;
  units[effect] = std::move(unit);
  return units;
}

bool SameFrame(Frame a, Frame b) {
  return a.left == b.left && a.right == b.right;
}

// A stand-in effect: adds 1 to the left sample, passes the right sample, and
// notes what it saw. Apply raises when row 1 holds kRaise; Run raises at frame raiseAt.
class FakeUnit {
 public:
  static constexpr int32_t kRaise = 666;

  struct Visit {
    int effect;
    const Frame* in;
    Frame* out;
  };

  explicit FakeUnit(int effect, std::vector<Visit>* visits = nullptr)
      : effect_(effect), visits_(visits) {}

  void Apply(const FxParamTable& fx) {
    if (fx[FxIndex(effect_, 1)] == kRaise) RaiseOverflow();
    ++applies;
  }

  void Run(const StageBlock& block) {
    ++runs;
    if (checkSeeding) {
      seededAtRun = std::equal(block.in, block.in + block.ringLen, block.out, SameFrame);
    }
    if (visits_ != nullptr) visits_->push_back({effect_, block.in, block.out});
    for (int32_t i = block.start; i <= block.end; ++i) {
      if (i == raiseAt) RaiseOverflow();
      block.out[i].left = ClipRound(block.in[i].left + 1);
      block.out[i].right = block.in[i].right;
    }
  }

  int applies = 0;
  int runs = 0;
  bool checkSeeding = false;
  bool seededAtRun = false;
  int32_t raiseAt = -1;

 private:
  int effect_;
  std::vector<Visit>* visits_;
};

constexpr std::array<int, kEffectCount> kExpectedOrder = {7, 0, 1,  2,  3,  4,  5,  6,
                                                          8, 9, 10, 11, 12, 13, 14, 15};

// A chain over freshly allocated rings with a fake unit at every effect index.
class EffectChainTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(309, 428); }
  void TearDown() override { ErrorCatch = 0; }

  void Build(int32_t blockLen, int32_t blockCount) {
    AllocateRings(stream, blockLen, blockCount);
    EffectUnitTable units;
    for (int e = 0; e < kEffectCount; ++e) units[e] = PlugIn<FakeUnit>(e, &visits);
    chain = std::make_unique<EffectChain>(stream, std::move(units));
    visits.reserve(1024);
  }

  FakeUnit& Fake(int e) { return *chain->FindUnit<FakeUnit>(static_cast<EffectIndex>(e)); }
  void SwitchOn(int e) { chain->FxParam[FxIndex(e, 0)] = 1; }
  std::vector<Frame>& Ring(int stage) { return stream.StageRing[stage]; }

  // Fills the capture block with noise on the left and a different noise on the right.
  void FillCapture(int32_t start, int32_t end, uint32_t seed) {
    const int32_t n = end - start + 1;
    const auto left = test::Noise(32767, n, seed);
    const auto right = test::Noise(32767, n, seed + 1000);
    for (int32_t j = 0; j < n; ++j) stream.CaptureRing[start + j] = {left[j], right[j]};
  }

  StreamBuffers stream;
  std::vector<FakeUnit::Visit> visits;
  std::unique_ptr<EffectChain> chain;
};

int16_t Stored(double v) {
  return Clip(static_cast<int32_t>(std::nearbyint(v)));
}

TEST_F(EffectChainTest, AllOffAppliesGainsToTheLeftInputOverEveryBlockLength) {
  const std::array<std::array<float, 3>, 3> gains = {
      {{1.0f, 1.0f, 1.0f}, {0.5f, 1.7782794f, 0.0031622776f}, {3.1622777f, 0.5f, 2.0f}}};
  for (int32_t blockLen : {44, 45, 309, 1000, 1323}) {
    const int32_t blockCount = (kDefaultSampleRate * 3) / blockLen;
    Build(blockLen, blockCount);
    SCOPED_TRACE(blockLen);
    uint32_t seed = 1;
    for (const auto& g : gains) {
      stream.InGain = {g[0], 100.0f};  // the right input gain is never used
      stream.OutGain = {g[1], g[2]};
      for (int32_t block : {0, 1, blockCount - 1}) {
        const int32_t start = block * blockLen, end = start + blockLen - 1;
        FillCapture(start, end, ++seed);
        stream.CaptureRing[start] = {-32768, 32767};
        stream.CaptureRing[start + 1] = {5, 0};  // 5 x 0.5 = 2.5 rounds to 2
        stream.CaptureRing[end] = {3, -5};       // 3 x 0.5 = 1.5 rounds to 2
        ASSERT_EQ(chain->ProcessBlock(start, end), 1);
        if (g[0] == 1.0f) {
          ASSERT_EQ(Ring(0)[start].left, -32767);
        }
        for (int32_t i = start; i <= end; ++i) {
          const int16_t staged = Stored(stream.CaptureRing[i].left * static_cast<double>(g[0]));
          ASSERT_EQ(Ring(0)[i].left, staged) << i;
          ASSERT_EQ(Ring(0)[i].right, staged) << i;  // mono to stereo into ring 0
          ASSERT_EQ(stream.PlayRing[i].left, Stored(staged * static_cast<double>(g[1]))) << i;
          ASSERT_EQ(stream.PlayRing[i].right, Stored(staged * static_cast<double>(g[2]))) << i;
        }
      }
    }
  }
  EXPECT_TRUE(visits.empty());
}

TEST_F(EffectChainTest, PitchShiftRunsFirstAndTheOthersInIndexOrder) {
  for (int e = 0; e < kEffectCount; ++e) SwitchOn(e);
  stream.CaptureRing[400].left = 100;
  ASSERT_EQ(chain->ProcessBlock(309, 617), 1);

  ASSERT_EQ(visits.size(), size_t{kEffectCount});
  const Frame* expectedIn = Ring(0).data();
  for (int k = 0; k < kEffectCount; ++k) {
    const int e = kExpectedOrder[k];
    SCOPED_TRACE(e);
    EXPECT_EQ(visits[k].effect, e);
    EXPECT_EQ(visits[k].in, expectedIn);
    EXPECT_EQ(visits[k].out, Ring(e + 1).data());
    expectedIn = visits[k].out;
  }
  // Every fake adds 1 to the left; the right is the copy made after Echo; the output
  // stage reads the Reverb's ring.
  EXPECT_EQ(stream.PlayRing[400].left, 116);
  EXPECT_EQ(stream.PlayRing[400].right, 114);
}

TEST_F(EffectChainTest, EffectsThatAreOffAreSkippedAndTheNextReadsTheLastThatRan) {
  SwitchOn(kPitchShift);
  SwitchOn(kLimiter);
  chain->FxParam[FxIndex(kCompressor, 0)] = 2;  // only exactly 1 is on
  chain->FxParam[FxIndex(kEnhancer, 0)] = -1;
  SwitchOn(kFuzz);
  ASSERT_EQ(chain->ProcessBlock(0, 308), 1);

  ASSERT_EQ(visits.size(), 3u);
  EXPECT_EQ(visits[0].effect, kPitchShift);
  EXPECT_EQ(visits[1].effect, kLimiter);
  EXPECT_EQ(visits[1].in, Ring(8).data());  // the limiter reads the pitch shifter's ring
  EXPECT_EQ(visits[2].effect, kFuzz);
  EXPECT_EQ(visits[2].in, Ring(1).data());
  EXPECT_EQ(Fake(kCompressor).runs, 0);
  EXPECT_EQ(Fake(kEnhancer).runs, 0);
  EXPECT_TRUE(chain->FxResync[kCompressor]);  // stays set until the effect next runs
  EXPECT_TRUE(std::all_of(Ring(2).begin(), Ring(2).end(), [](Frame f) { return f.left == 0; }));
}

TEST_F(EffectChainTest, MonoToStereoWritesTheRingCurrentAfterEcho) {
  stream.CaptureRing[10].left = 7;
  Ring(0)[10].right = -99;
  SwitchOn(kTremolo);
  SwitchOn(kDelay);
  ASSERT_EQ(chain->ProcessBlock(0, 308), 1);
  EXPECT_EQ(Ring(9)[10].left, 8);
  EXPECT_EQ(Ring(9)[10].right, 8);    // the Tremolo's ring got the stereo copy
  EXPECT_EQ(Ring(0)[10].right, -99);  // ring 0 was not current
  EXPECT_EQ(visits.back().in, Ring(9).data());
  EXPECT_EQ(Ring(15)[10].right, 8);  // Delay saw both channels
  EXPECT_EQ(stream.PlayRing[10].right, 8);

  SwitchOn(kEcho);
  ASSERT_EQ(chain->ProcessBlock(309, 617), 1);
  for (int32_t i = 309; i <= 617; ++i) ASSERT_EQ(Ring(14)[i].right, Ring(14)[i].left);
}

// Effects after the stereo point write the right channel on their own.
class RightShiftUnit {
 public:
  void Apply(const FxParamTable&) {}
  void Run(const StageBlock& b) {
    for (int32_t i = b.start; i <= b.end; ++i)
      b.out[i] = {b.in[i].left, ClipRound(b.in[i].right + 50)};
  }
};

TEST(EffectChainStereo, ReverbAfterTheStereoPointReachesTheRightOutput) {
  StreamBuffers stream;
  AllocateRings(stream, 44, 3006);
  EffectChain chain(stream, OneUnit(kReverb, PlugIn<RightShiftUnit>()));
  chain.FxParam[FxIndex(kReverb, 0)] = 1;
  stream.CaptureRing[44] = {20, 1000};
  ASSERT_EQ(chain.ProcessBlock(44, 87), 1);
  EXPECT_EQ(stream.PlayRing[44].left, 20);
  EXPECT_EQ(stream.PlayRing[44].right, 70);
}

TEST_F(EffectChainTest, SwitchingOnSeedsTheOwnRingFromTheCurrentStageOnce) {
  for (int32_t i = 0; i < stream.RingLen; ++i) Ring(0)[i] = {static_cast<int16_t>(i % 1000), 5};
  Ring(14)[50000] = {-1, -1};  // stale history of the Echo
  SwitchOn(kEcho);
  Fake(kEcho).checkSeeding = true;
  ASSERT_TRUE(chain->FxResync[kEcho]);
  ASSERT_EQ(chain->ProcessBlock(618, 926), 1);

  EXPECT_TRUE(Fake(kEcho).seededAtRun);
  EXPECT_FALSE(chain->FxResync[kEcho]);
  EXPECT_EQ(Ring(14)[50000].left, 50000 % 1000);
  EXPECT_EQ(Ring(14)[50000].right, 5);   // both samples copied
  EXPECT_TRUE(chain->FxResync[kDelay]);  // an effect that is off keeps its flag

  Ring(0)[50000].left = 1;  // no second copy without a new switch-on
  ASSERT_EQ(chain->ProcessBlock(927, 1235), 1);
  EXPECT_EQ(Ring(14)[50000].left, 50000 % 1000);
}

TEST_F(EffectChainTest, AnEffectThatIsOffKeepsItsState) {
  SwitchOn(kChorus);
  ASSERT_EQ(chain->ProcessBlock(0, 308), 1);
  ASSERT_EQ(Fake(kChorus).runs, 1);
  chain->FxParam[FxIndex(kChorus, 0)] = 0;
  ASSERT_EQ(chain->ProcessBlock(309, 617), 1);
  ASSERT_EQ(chain->ProcessBlock(618, 926), 1);
  EXPECT_EQ(Fake(kChorus).runs, 1);
  EXPECT_EQ(Fake(kChorus).applies, 0);  // the chain never applies on its own
}

TEST(EffectChainUnbuilt, AnEffectWithoutAUnitCountsAsOff) {
  StreamBuffers stream;
  AllocateRings(stream, 309, 428);
  EffectChain chain(stream, EffectUnitTable{});
  for (int e = 0; e < kEffectCount; ++e) chain.FxParam[FxIndex(e, 0)] = 1;
  stream.CaptureRing[3].left = 1234;
  ASSERT_EQ(chain.ProcessBlock(0, 308), 1);
  EXPECT_EQ(stream.PlayRing[3].left, 1234);
  EXPECT_EQ(stream.PlayRing[3].right, 1234);
  EXPECT_EQ(stream.StageRing[16][3].left, 0);
  EXPECT_TRUE(chain.FxResync[kEcho]);
  chain.ApplyEffectParams(kEcho);  // nothing to apply
}

// The stage rings keep what the pass did not reach; the block's frames of the play ring
// that were not written are silence, never the audio of one ring period ago.
TEST_F(EffectChainTest, AnErrorAbandonsThePassAndSilencesWhatItDidNotPlay) {
  const Frame marker{111, -111};
  std::fill(stream.PlayRing.begin(), stream.PlayRing.end(), marker);
  std::fill(Ring(3).begin(), Ring(3).end(), marker);
  SwitchOn(kEnhancer);
  SwitchOn(kReverb);
  chain->FxResync.fill(false);
  Fake(kEnhancer).raiseAt = 400;
  EXPECT_EQ(chain->ProcessBlock(309, 617), 0);
  EXPECT_EQ(Ring(3)[399].left, 1);
  EXPECT_EQ(Ring(3)[400].left, marker.left);
  EXPECT_EQ(Fake(kReverb).runs, 0);
  for (int32_t i = 0; i < stream.RingLen; ++i) {
    ASSERT_TRUE(SameFrame(stream.PlayRing[i], i >= 309 && i <= 617 ? Frame{} : marker)) << i;
  }

  // The input stage: a gain that overflows on the first loud sample.
  Fake(kEnhancer).raiseAt = -1;
  stream.CaptureRing[700].left = 30000;
  Ring(0)[701].left = 42;
  stream.InGain[0] = 1e6f;
  EXPECT_EQ(chain->ProcessBlock(618, 926), 0);
  EXPECT_EQ(Ring(0)[699].left, 0);
  EXPECT_EQ(Ring(0)[701].left, 42);

  // The output stage: the left sample of the first frame is written, its right is not.
  stream.InGain[0] = 1.0f;
  stream.OutGain[1] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(chain->ProcessBlock(927, 1235), 0);
  EXPECT_EQ(stream.PlayRing[927].left, 2);  // two fakes ran
  EXPECT_EQ(stream.PlayRing[927].right, 0);
  EXPECT_EQ(stream.PlayRing[928].left, 0);
  EXPECT_EQ(stream.PlayRing[1236].left, marker.left);

  // The next pass runs normally.
  stream.OutGain[1] = 1.0f;
  EXPECT_EQ(chain->ProcessBlock(1236, 1544), 1);
}

TEST_F(EffectChainTest, WithErrorCatchOnTheErrorPropagates) {
  SwitchOn(kFuzz);
  Fake(kFuzz).raiseAt = 0;
  ErrorCatch = 1;
  EXPECT_THROW(chain->ProcessBlock(0, 308), RuntimeError);
}

TEST_F(EffectChainTest, BlocksOutsideTheRingsAreRefusedWithoutWriting) {
  EXPECT_EQ(chain->ProcessBlock(-309, -1), 0);
  EXPECT_EQ(chain->ProcessBlock(308, 0), 0);
  EXPECT_EQ(chain->ProcessBlock(stream.RingLen - 100, stream.RingLen + 208), 0);
  stream.PlayRing.clear();  // before InitStream: no rings at all
  EXPECT_EQ(chain->ProcessBlock(0, 308), 0);
  EXPECT_TRUE(visits.empty());
}

TEST_F(EffectChainTest, ApplyEffectParamsDispatchesUnderTheErrorTrap) {
  for (int e : {-1, 16, 1000, std::numeric_limits<int>::min()}) chain->ApplyEffectParams(e);
  chain->ApplyEffectParams(kPhaser);
  EXPECT_EQ(Fake(kPhaser).applies, 1);
  EXPECT_EQ(Fake(kFlanger).applies, 0);

  chain->FxParam[FxIndex(kPhaser, 1)] = FakeUnit::kRaise;
  chain->ApplyEffectParams(kPhaser);  // trapped
  EXPECT_EQ(Fake(kPhaser).applies, 1);
  ErrorCatch = 1;
  EXPECT_THROW(chain->ApplyEffectParams(kPhaser), RuntimeError);
}

// Stands in for a unit whose state is sized by the block length, and for the
// equaliser's tables.
class SizedUnit {
 public:
  void Apply(const FxParamTable&, const RingShape& shape) { appliedWith.push_back(shape.blockLen); }
  void Run(const StageBlock& block) { ranWith = block.end - block.start + 1; }
  void InitEffectTables(int32_t) { ++tableInits; }
  void FreeEffectTables() { ++tableFrees; }

  std::vector<int32_t> appliedWith;
  int32_t ranWith = 0;
  int tableInits = 0;
  int tableFrees = 0;
};

TEST(EffectChainSizedUnit, IsReappliedWhenARestartChangedTheBlockLength) {
  StreamBuffers stream;
  AllocateRings(stream, 309, 428);
  EffectChain chain(stream, OneUnit(kPitchShift, PlugIn<SizedUnit>()));
  SizedUnit& unit = *chain.FindUnit<SizedUnit>(kPitchShift);
  EXPECT_EQ(chain.FindUnit<FakeUnit>(kPitchShift), nullptr);

  chain.InitEffectTables();
  chain.ApplyEffectParams(kPitchShift);
  chain.FxParam[FxIndex(kPitchShift, 0)] = 1;
  ASSERT_EQ(chain.ProcessBlock(0, 308), 1);
  EXPECT_EQ(unit.appliedWith, std::vector<int32_t>{309});

  AllocateRings(stream, 1323, 100);  // the stream restarts with 30 ms blocks
  ASSERT_EQ(chain.ProcessBlock(1323, 2645), 1);
  ASSERT_EQ(chain.ProcessBlock(2646, 3968), 1);
  EXPECT_EQ(unit.appliedWith, (std::vector<int32_t>{309, 1323}));
  EXPECT_EQ(unit.ranWith, 1323);
  chain.FreeEffectTables();
  EXPECT_EQ(unit.tableInits, 1);
  EXPECT_EQ(unit.tableFrees, 1);
}

// Lets "pending events" restart the stream in the middle of its run, as a click on
// "Reset" during the equaliser's stage does.
class RestartingUnit {
 public:
  RestartingUnit(StreamBuffers* stream, int32_t blockLen, int32_t blockCount)
      : stream_(stream), blockLen_(blockLen), blockCount_(blockCount) {}
  void Apply(const FxParamTable&) {}
  void Run(const StageBlock&) { AllocateRings(*stream_, blockLen_, blockCount_); }

 private:
  StreamBuffers* stream_;
  int32_t blockLen_;
  int32_t blockCount_;
};

// Also a restart that keeps the size, where the new rings usually sit at the old
// addresses (Reset and Bypass keep the block length).
TEST(EffectChainRestart, AStreamRestartDuringThePassAbandonsIt) {
  for (auto [blockLen, blockCount] : {std::pair{441, 300}, std::pair{309, 428}}) {
    StreamBuffers stream;
    AllocateRings(stream, 309, 428);
    EffectUnitTable units;
    units[kGraphicEq] = PlugIn<RestartingUnit>(&stream, blockLen, blockCount);
    units[kReverb] = PlugIn<FakeUnit>(kReverb);
    EffectChain chain(stream, std::move(units));
    chain.FxParam[FxIndex(kGraphicEq, 0)] = 1;
    chain.FxParam[FxIndex(kReverb, 0)] = 1;
    stream.CaptureRing[0].left = 9;
    EXPECT_EQ(chain.ProcessBlock(0, 308), 0) << blockLen;
    EXPECT_EQ(chain.FindUnit<FakeUnit>(kReverb)->runs, 0) << blockLen;
    EXPECT_EQ(stream.PlayRing[0].left, 0) << blockLen;
    EXPECT_EQ(stream.StageRing[0][0].left, 0) << blockLen;
  }
}

// The real equaliser lets events run between its bands; one that restarts the stream
// must not make it touch the rings that are gone (the sanitizer sees any access).
TEST(EffectChainRestart, AStreamRestartBetweenEqualiserBandsAbandonsThePass) {
  StreamBuffers stream;
  AllocateRings(stream, 309, 428);
  EffectChain chain(stream);
  chain.InitEffectTables();
  chain.FxParam[FxIndex(kGraphicEq, 0)] = 1;
  chain.FxParam[FxIndex(kGraphicEq, 3)] = 6;
  chain.FxParam[FxIndex(kGraphicEq, 9)] = -6;
  chain.ApplyEffectParams(kGraphicEq);
  ASSERT_EQ(chain.ProcessBlock(0, 308), 1);
  int events = 0;
  SetPendingEventsHook([&] {
    if (++events == 1) AllocateRings(stream, 441, 300);
  });
  EXPECT_EQ(chain.ProcessBlock(309, 617), 0);
  SetPendingEventsHook({});
  EXPECT_EQ(events, 2);
  EXPECT_EQ(chain.ProcessBlock(441, 881), 1);
}

// The real pitch shifter with settings a hand-edited bank may hold. One that cannot run
// at all leaves the chain as if the effect were off, pass after pass, and keeps its
// reseed for the first pass that runs it; five octaves up runs on the stream's ring.
TEST(EffectChainPitchShift, ASettingThatCannotRunCountsAsOff) {
  const auto run = [](std::pair<int32_t, int32_t> setting, bool on) {
    StreamBuffers stream;
    AllocateRings(stream, 309, 428);
    EffectChain chain(stream);
    chain.FxParam[FxIndex(kPitchShift, 0)] = on ? 1 : 0;
    chain.FxParam[FxIndex(kPitchShift, 1)] = setting.first;
    chain.FxParam[FxIndex(kPitchShift, 2)] = setting.second;
    chain.FxParam[FxIndex(kTremolo, 0)] = 1;
    chain.ApplyEffectParams(kPitchShift);
    chain.ApplyEffectParams(kTremolo);
    const std::vector<int16_t> noise = test::Noise(20000, 40 * 309, 5);
    for (int32_t i = 0; i < 40 * 309; ++i) stream.CaptureRing[i].left = noise[i];
    for (int32_t start = 0; start < 40 * 309; start += 309) {
      EXPECT_EQ(chain.ProcessBlock(start, start + 308), 1) << setting.first << " " << start;
    }
    EXPECT_EQ(chain.FxResync[kPitchShift], !on || setting.first != 60) << setting.first;
    return std::vector<Frame>(stream.PlayRing.begin(), stream.PlayRing.begin() + 40 * 309);
  };
  const std::vector<Frame> off = run({0, 0}, false);
  for (auto setting : {std::pair{0, -1000}, std::pair{0, -2000}, std::pair{2147483640, -1000},
                       std::pair{200, 0}, std::pair{-200, 0}}) {
    EXPECT_TRUE(std::equal(off.begin(), off.end(), run(setting, true).begin(), SameFrame))
        << setting.first << " " << setting.second;
  }
  const std::vector<Frame> fiveOctaves = run({60, 0}, true);
  EXPECT_FALSE(std::equal(off.begin(), off.end(), fiveOctaves.begin(), SameFrame));
  EXPECT_TRUE(std::any_of(fiveOctaves.begin() + 20 * 309, fiveOctaves.end(),
                          [](Frame f) { return f.left != 0; }));
}

TEST_F(EffectChainTest, ProcessBlockAllocatesNothing) {
  for (int32_t blockLen : {44, 309, 1323}) {
    Build(blockLen, (kDefaultSampleRate * 3) / blockLen);
    SCOPED_TRACE(blockLen);
    for (int on : {0, 1}) {
      for (int e = 0; e < kEffectCount; ++e) chain->FxParam[FxIndex(e, 0)] = on;
      visits.clear();
      const uint64_t before = test::AllocationCount();
      for (int32_t block = 0; block < stream.BlockCount; ++block) {
        const int32_t start = block * blockLen;
        ASSERT_EQ(chain->ProcessBlock(start, start + blockLen - 1), 1);
        visits.clear();
      }
      EXPECT_EQ(test::AllocationCount(), before);
    }
  }
}

}  // namespace
}  // namespace ampora
