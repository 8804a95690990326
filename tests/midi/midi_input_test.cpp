#include "midi/midi_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include "midi/short_message.h"
#include "support/allocation_counter.h"
#include "support/scripted_midi_service.h"

namespace ampora {
namespace {

using test::ProgramChange;
using test::ScriptedMidiService;

constexpr uint32_t kNoteOn = 0x644090;      // channel 1, key 64, velocity 100
constexpr uint32_t kController = 0x7F07B0;  // channel 1, volume 127
constexpr uint32_t kPitchBend = 0x4000E0;

struct Input {
  Input() : midi(service) { EXPECT_EQ(midi.OpenMidiIn(0), 1); }
  // The key codes one drain hands over.
  std::vector<int32_t> Drain(int32_t midiCh) {
    std::vector<int32_t> keys;
    midi.DrainMidiRing(midiCh, [&](int32_t key, int32_t shift) {
      EXPECT_EQ(shift, 0);
      keys.push_back(key);
    });
    return keys;
  }
  ScriptedMidiService service;
  MidiInput midi;
};

using Keys = std::vector<int32_t>;

TEST(ShortMessage, PacksStatusAndDataBytesAndRefusesWhatIsNoShortMessage) {
  struct Case {
    std::vector<unsigned char> bytes;
    uint32_t packed;
  };
  const Case cases[] = {
      {{0xC3, 5}, 0x05C3},
      {{0x90, 60, 100}, 0x643C90},
      {{0xFA}, 0xFA},           // real-time start: a one-byte message
      {{}, 0},                  // nothing
      {{0x90, 60, 100, 1}, 0},  // longer than a short message
      {{0xF0, 0x7E, 0xF7}, 0},  // system exclusive
      {{0xF7}, 0},              // the end of one
      {{0x40, 0x40}, 0},        // no status byte first
      {{0xC0, 0x85}, 0},        // a data byte with its top bit set
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackShortMessage(c.bytes.data(), c.bytes.size()), c.packed)
        << ::testing::PrintToString(c.bytes);
  }
}

TEST(MidiDrain, ProgramChangesZeroToElevenBecomeFunctionKeysInOrder) {
  Input in;
  std::vector<uint32_t> sent;
  for (int32_t program : {0, 5, 11, 12, 127, 3}) sent.push_back(ProgramChange(0, program));
  sent.insert(sent.begin() + 2, {kNoteOn, kController, kPitchBend});
  for (uint32_t m : sent) in.service.Deliver(m);
  EXPECT_EQ(in.Drain(0), (Keys{112, 117, 123, 115}));
  EXPECT_EQ(in.Drain(0), Keys{}) << "everything was consumed";
}

TEST(MidiDrain, ChannelRule) {
  struct Case {
    int32_t midiCh;
    Keys keys;  // for PC 3, 4 and 5 on channels 1, 2 and 16
  };
  const Case cases[] = {
      {0, {115}}, {1, {116}}, {15, {117}},     {-1, {115, 116, 117}},
      {16, {}},   {-2, {}},   {INT32_MAX, {}}, {INT32_MIN, {}},
  };
  for (const Case& c : cases) {
    Input in;
    for (const uint32_t m : {ProgramChange(0, 3), ProgramChange(1, 4), ProgramChange(15, 5)}) {
      in.service.Deliver(m);
    }
    EXPECT_EQ(in.Drain(c.midiCh), c.keys) << "MidiCh " << c.midiCh;
  }
}

TEST(MidiRing, OverflowLosesTheOldestAndCountsThem) {
  Input in;
  for (int32_t i = 0; i < 20; ++i) in.service.Deliver(ProgramChange(i % 16, i % 12));
  EXPECT_EQ(in.midi.LostMessages(0), 3u);
  Keys newest;
  for (int32_t i = 3; i < 20; ++i) newest.push_back(112 + i % 12);
  EXPECT_EQ(in.Drain(-1), newest) << "the 17 newest, in order: the last one decides";
  EXPECT_EQ(in.Drain(-1), Keys{});
  EXPECT_EQ(in.midi.ReceivedMessages(0), 20u);
  EXPECT_EQ(in.midi.TakenMessages(), 17u);

  // Overflowing again while the drain is halfway round the ring.
  for (int32_t i = 0; i < 5; ++i) in.service.Deliver(ProgramChange(0, 0));
  in.Drain(-1);
  for (int32_t i = 0; i < 25; ++i) in.service.Deliver(ProgramChange(0, i % 12));
  newest.clear();
  for (int32_t i = 8; i < 25; ++i) newest.push_back(112 + i % 12);
  EXPECT_EQ(in.Drain(-1), newest);
}

TEST(MidiRing, AMessageAfterAnOverflowArrivesAtTheNextDrain) {
  // After 20 messages the drain's position and the callback's have drifted apart; a
  // single program change must still get through at once.
  Input in;
  for (int32_t i = 0; i < 20; ++i) in.service.Deliver(kController);
  in.Drain(-1);
  for (int32_t program : {4, 6}) {
    in.service.Deliver(ProgramChange(0, program));
    EXPECT_EQ(in.Drain(0), Keys{112 + program});
  }
}

TEST(MidiRing, OnlyMessagesOfAnOpenPortAreStored) {
  Input in;
  const MidiHandle handle = in.midi.MidiInHandle(0);
  ASSERT_NE(handle, 0u);
  in.service.Deliver(ProgramChange(0, 1), 0);           // no handle
  in.service.Deliver(ProgramChange(0, 2), handle + 5);  // a handle of no port
  in.service.Deliver(0, handle);                        // no message
  EXPECT_EQ(in.midi.MidiWritePos(0), 0);
  EXPECT_EQ(in.midi.ReceivedMessages(0), 0u) << "nothing stored is nothing received";
  in.service.Deliver(ProgramChange(0, 3), handle);
  EXPECT_EQ(in.midi.MidiWritePos(0), 1);

  in.midi.CloseMidiIn(0);
  in.service.Deliver(ProgramChange(0, 4), handle);  // late, from a closed port
  EXPECT_EQ(in.Drain(0), Keys{115});
}

TEST(MidiPorts, OpenCloseAndFailure) {
  ScriptedMidiService service;
  MidiInput midi(service);
  midi.MidiInDeviceName = {"keys B", "", "", ""};
  EXPECT_EQ(midi.OpenMidiIn(0), 1);
  EXPECT_EQ(midi.OpenMidiIn(0), 1);  // a reopen closes first
  EXPECT_EQ(service.calls, (std::vector<std::string>{"open keys B", "start 1", "close 1",
                                                     "open keys B", "start 2"}));
  midi.CloseMidiIn(0);
  midi.CloseMidiIn(0);  // nothing open: nothing to do
  EXPECT_EQ(service.calls.back(), "close 2");
  EXPECT_EQ(service.calls.size(), 6u);
  EXPECT_EQ(midi.MidiInHandle(0), 0u);

  EXPECT_EQ(midi.OpenMidiIn(4), 0);
  EXPECT_EQ(midi.OpenMidiIn(-1), 0);
  midi.CloseMidiIn(7);

  service.failOpen = true;
  EXPECT_EQ(midi.OpenMidiIn(0), 1) << "a device that cannot be opened is no error";
  EXPECT_EQ(midi.MidiInHandle(0), 0u);
  EXPECT_EQ(service.calls.back(), "open keys B") << "and is not started";

  service.failOpen = false;
  {
    MidiInput other(service);
    other.OpenMidiIn(3);
  }
  EXPECT_EQ(service.calls.back(), "close 3") << "an input closes its ports when it goes";
}

TEST(MidiInProc, NeverAllocates) {
  Input in;
  const uint64_t before = test::AllocationCount();
  for (int32_t i = 0; i < 1000; ++i) in.service.Deliver(ProgramChange(i % 16, i % 128));
  EXPECT_EQ(test::AllocationCount(), before);
}

// The callback on its own thread while the drain runs: every message is either handed
// over or counted as lost, and nothing else comes out.
TEST(MidiRing, ConcurrentCallbackAndDrainAccountForEveryMessage) {
  Input in;
  constexpr int32_t kMessages = 100000;
  std::atomic<bool> done{false};
  std::thread sender([&] {
    for (int32_t i = 0; i < kMessages; ++i) in.service.Deliver(ProgramChange(i % 16, i % 12));
    done.store(true);
  });
  uint64_t handed = 0;
  const auto count = [&](int32_t key, int32_t) {
    EXPECT_TRUE(key >= 112 && key <= 123) << key;
    ++handed;
  };
  while (!done.load()) in.midi.DrainMidiRing(-1, count);
  sender.join();
  in.midi.DrainMidiRing(-1, count);
  in.midi.DrainMidiRing(-1, count);
  EXPECT_EQ(handed + in.midi.LostMessages(0), static_cast<uint64_t>(kMessages));
  EXPECT_EQ(in.midi.ReceivedMessages(0), static_cast<uint64_t>(kMessages));
  EXPECT_EQ(in.midi.TakenMessages(), handed) << "all are program changes: each one taken is handed";
}

}  // namespace
}  // namespace ampora
