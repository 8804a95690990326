#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live/live_rig.h"

namespace ampora::test {
namespace {

using Calls = std::vector<std::string>;

constexpr const char* kMidiOn = "[conf]\nUseMIDIF=1\nMidiInDeviceName=keys B\n";
constexpr const char* kNamedBanks =
    "[Bank03]\nBankName=Three\n[Bank05]\nBankName=Five\n[Bank06]\nBankName=Six\n"
    "LevelOutL=-7\nLevelOutR=-7\n[Bank08]\nBankName=Eight\n";

class LiveMidiTest : public LiveTest {};

TEST_F(LiveMidiTest, ProgramChangeFiveActsAsReleasingF6) {
  StartWith(std::string(kMidiOn) + kNamedBanks);
  Live().ButtonClicked(kStartButton);
  ASSERT_EQ(Live().MidiActive, 1);
  midiService.Deliver(ProgramChange(0, 5));
  Live().Tick();
  EXPECT_EQ(view.TextNum(), "06");
  EXPECT_EQ(view.TextBank(), "Six");
  EXPECT_EQ(view.Status(), "OUT : L=-07db R=-07db");

  midiService.Deliver(ProgramChange(1, 2));   // another channel than MidiCh 0
  midiService.Deliver(ProgramChange(0, 12));  // no bank
  Live().Tick();
  EXPECT_EQ(view.TextNum(), "06");
  Live().MidiCh = -1;  // every channel, from the next drain on
  midiService.Deliver(ProgramChange(1, 2));
  Live().Tick();
  EXPECT_EQ(view.TextNum(), "03");
}

// The first of three program changes in one tick stores into the bank an armed Store
// waits for; the two after it load, the last one deciding.
TEST_F(LiveMidiTest, ProgramChangesOfOneTickApplyInOrderOfArrival) {
  StartWith(std::string(kMidiOn) + kNamedBanks);
  Live().ButtonClicked(kStartButton);
  view.SetTextBank("Lead");
  Live().ButtonClicked(kStoreButton);
  for (int32_t program : {2, 7, 4}) midiService.Deliver(ProgramChange(0, program));
  Live().Tick();
  EXPECT_EQ(Stored("Bank03", "BankName"), "Lead");
  EXPECT_EQ(view.TextNum(), "05");
  EXPECT_EQ(view.TextBank(), "Five");
  EXPECT_EQ(Live().PendingBankName(), "");
}

TEST_F(LiveMidiTest, OnlyStartOpensTheInputAndOnlyWithUseMidiOn) {
  StartWith("[conf]\nUseMIDIF=0\nMidiInDeviceName=keys B\n");
  Live().ButtonClicked(kStartButton);
  Live().ButtonClicked(kBypassButton);
  EXPECT_EQ(Live().MidiActive, 0);
  EXPECT_EQ(midiService.calls, Calls{});

  Live().UseMIDIF = 1;
  Live().ButtonClicked(kTunerButton);
  EXPECT_EQ(midiService.calls, Calls{}) << "the mode buttons leave the input alone";
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(midiService.calls, (Calls{"open keys B", "start 1"}));
  EXPECT_EQ(Live().MidiActive, 1);

  Live().UseMIDIF = 0;
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(midiService.calls.back(), "close 1");
  EXPECT_EQ(Live().MidiActive, 0);
}

// Start opens the device of the stored name, or the one the configuration chose since,
// by name: the service finds it in the port list of that moment.
TEST_F(LiveMidiTest, StartOpensTheChosenDeviceByName) {
  StartWith(kMidiOn);
  Live().ButtonClicked(kStartButton);
  Live().MidiInChoice().Choose(0);  // "keys A", chosen in the configuration
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(midiService.calls,
            (Calls{"open keys B", "start 1", "close 1", "open keys A", "start 2"}));
  Live().ShutDown();
  EXPECT_EQ(midiService.calls.back(), "close 2");
  EXPECT_EQ(Live().MidiActive, 0);
  EXPECT_EQ(Stored("conf", "MidiInDeviceName"), "keys A");
}

TEST_F(LiveMidiTest, ProgramChangesDuringATransportActionAreDropped) {
  StartWith(std::string(kMidiOn) + kNamedBanks);
  Live().ButtonClicked(kStartButton);
  DuringNextEvents([&] {
    midiService.Deliver(ProgramChange(0, 4));
    Live().Tick();  // the timer goes on during the wait and drains the ring
  });
  Live().ButtonClicked(kBypassButton);
  Live().Tick();
  EXPECT_EQ(view.TextNum(), "");
  EXPECT_EQ(Live().Midi().MidiReadPos(0), 1) << "taken from the ring, not kept for later";
}

// An input whose server went away while the stream runs elsewhere is closed after a few
// ticks (the stream's own end would have said it for both) or first thing in a transport
// action (which would open clients on a server), and said so once; Start opens it again.
TEST_F(LiveMidiTest, AnInputWhoseServerWentAwayIsClosedAndSaidOnce) {
  for (const bool byTick : {true, false}) {
    SCOPED_TRACE(byTick ? "tick" : "button");
    messages.messages.clear();
    StartWith(kMidiOn);
    Live().ButtonClicked(kStartButton);
    midiService.calls.clear();
    midiService.lostHandle = midiService.lastHandle;
    const std::string lost = std::to_string(midiService.lostHandle);
    if (byTick) {
      Live().Tick();
      EXPECT_EQ(midiService.calls, Calls{}) << "the stream may still end with its server";
      for (int tick = 0; tick < 40; ++tick) Live().Tick();
      EXPECT_EQ(midiService.calls, Calls{"close " + lost});
      EXPECT_EQ(Live().MidiActive, 0);
    }
    Live().ButtonClicked(kStartButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, kMidiInLostText);
    const std::string next = std::to_string(midiService.lostHandle + 1);
    EXPECT_EQ(midiService.calls, (Calls{"close " + lost, "open keys B", "start " + next}));
    EXPECT_EQ(Live().MidiActive, 1);
    EXPECT_EQ(Engine().StreamRunning(), 1);
  }
}

// A MIDI input that its server does not run after Start (a stalled graph) gets the whole
// start again, the stream closed and reopened with it, up to three times; when every try
// stalls, the input closes and is said lost. An input that runs is left alone.
TEST_F(LiveMidiTest, AnInputItsServerDoesNotRunGetsTheStartAgain) {
  const struct {
    int32_t stalledOpens;
    int32_t opens;  // of the MIDI input, and of the stream
    bool active;
    size_t boxes;
  } cases[] = {{0, 1, true, 0}, {1, 2, true, 0}, {3, 4, true, 0}, {4, 4, false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stalledOpens << " stalled opens");
    messages.messages.clear();
    StartWith(std::string(kMidiOn) + kNamedBanks);
    midiService.calls.clear();
    midiService.lastHandle = 0;
    midiService.stalled.clear();
    midiService.stalledOpens = c.stalledOpens;
    const int64_t streamOpens = Engine().Counts().opens;
    Live().ButtonClicked(kStartButton);

    Calls expected;
    for (int32_t n = 1; n <= c.opens; ++n) {
      if (n > 1) expected.push_back("close " + std::to_string(n - 1));
      expected.insert(expected.end(), {"open keys B", "start " + std::to_string(n)});
    }
    if (!c.active) expected.push_back("close " + std::to_string(c.opens));
    EXPECT_EQ(midiService.calls, expected);
    EXPECT_EQ(Engine().Counts().opens - streamOpens, c.opens);
    EXPECT_EQ(Engine().StreamRunning(), 1);
    EXPECT_EQ(Live().MidiActive, c.active ? 1 : 0);
    ASSERT_EQ(messages.messages.size(), c.boxes);
    if (c.boxes > 0) {
      EXPECT_EQ(messages.messages[0].text, kMidiInLostText);
    }
    if (c.active) {
      midiService.Deliver(ProgramChange(0, 7));
      Live().Tick();
      EXPECT_EQ(view.TextBank(), "Eight") << "program changes come through again";
    }
  }
}

// The program ends while a Start waits: neither the stream nor the MIDI input reopens.
TEST_F(LiveMidiTest, AShutDownDuringARestartLeavesEverythingClosed) {
  StartWith(kMidiOn);
  DuringNextEvents([&] { EXPECT_TRUE(Live().ShutDown()); });
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(Engine().StreamRunning(), 0);
  EXPECT_EQ(Live().MidiActive, 0);
  EXPECT_EQ(midiService.calls, Calls{});
  EXPECT_EQ(view.StartCaption(), kStartCaption);
}

class LiveTunerTest : public LiveTest {};

// At most one analysis per tick, and only after a tick whose poll handled a block.
TEST_F(LiveTunerTest, ATunerTickDrawsOnlyWhenABlockCompleted) {
  StartWith("");
  Live().ButtonClicked(kStartButton);
  Advance(3 * 309);
  Live().Tick();
  EXPECT_TRUE(view.tunerReadings.empty()) << "not in tuner mode";

  Live().ButtonClicked(kTunerButton);
  Live().Tick();
  EXPECT_TRUE(view.tunerReadings.empty()) << "no block completed";
  Advance(2048);
  Live().Tick();
  ASSERT_EQ(view.tunerReadings.size(), 1u);
  EXPECT_GT(view.tunerReadings[0].peak, 1000.0) << "the demo guitar";
  Advance(3 * 2048);
  Live().Tick();
  ASSERT_EQ(view.tunerReadings.size(), 2u);
  EXPECT_EQ(view.tunerReadings[1].hold, view.tunerReadings[0].peak);
}

// The reference pitch comes from the settings (440 Hz when out of its range or no
// number), reaches the analysis and goes back at shut-down: the test tone is an A4 of
// 440 Hz.
TEST_F(LiveTunerTest, TheNoteIsReadAgainstTheReferencePitchOfTheSettings) {
  const struct {
    const char* stored;
    float a4;
    double cents;
    const char* written;
  } cases[] = {{"442", 442, -7.85, "442"},
               {"415", 415, 101.31, "415"},
               {"500", 440, 0.0, "440"},
               {"la", 440, 0.0, "440"},
               {"", 440, 0.0, "440"}};
  for (const auto& c : cases) {
    std::string ini = "[conf]\nDeviceIn=test tone\nDeviceOut=null\n";
    if (*c.stored != 0) ini += std::string("TunerA4=") + c.stored + "\n";
    StartWith(ini);
    EXPECT_EQ(Live().TunerA4, c.a4) << c.stored;
    Live().ButtonClicked(kTunerButton);
    view.tunerReadings.clear();
    for (int32_t a = 0; a < 3; ++a) {
      Advance(2048);
      Live().Tick();
    }
    ASSERT_EQ(view.tunerReadings.size(), 3u) << c.stored;
    const TunerReading& reading = view.tunerReadings.back();
    EXPECT_EQ(reading.a4, c.a4) << c.stored;
    ASSERT_TRUE(reading.note) << c.stored;
    EXPECT_NEAR(100.0 * (reading.note->note - 69) + reading.note->cents, c.cents, 0.05) << c.stored;
    Live().ShutDown();
    EXPECT_EQ(Stored("conf", "TunerA4"), c.written) << c.stored;
  }
}

TEST_F(LiveTunerTest, EveryModeButtonClearsThePeakHold) {
  StartWith("");
  for (int32_t button : {kTunerButton, kStartButton, kBypassButton}) {
    SCOPED_TRACE(button);
    if (Engine().TunerOn == 0) Live().ButtonClicked(kTunerButton);
    Advance(2048);
    Live().Tick();
    ASSERT_GT(Live().Tuner().Peaks()[0], 0.0);
    Live().ButtonClicked(button);
    EXPECT_EQ(Live().Tuner().Peaks()[0], 0.0);
  }
}

}  // namespace
}  // namespace ampora::test
