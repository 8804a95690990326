#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/event_log.h"
#include "app/headless_console.h"
#include "app/line_reader.h"
#include "app/program_options.h"
#include "live/live_rig.h"

namespace ampora::test {
namespace {

TEST(ProgramOptions, DecideTheModeBeforeAnythingIsMade) {
  struct Case {
    std::vector<const char*> args;
    ProgramMode mode;
    std::string switches;
  };
  const Case cases[] = {
      {{}, ProgramMode::kWindowed, ""},
      // The windowed program's command line, Qt's options with it, is left as it was.
      {{"F03", "-platform", "offscreen"}, ProgramMode::kWindowed, ""},
      {{"--headless"}, ProgramMode::kHeadless, ""},
      {{"--headless", "F03"}, ProgramMode::kHeadless, "F03"},
      {{"S", "--headless", "F12"}, ProgramMode::kHeadless, "S F12"},
      {{"--headless", "--verbose"}, ProgramMode::kBadUsage, ""},
      {{"--list-devices"}, ProgramMode::kListDevices, ""},
      {{"--list-devices", "F03"}, ProgramMode::kBadUsage, ""},
      {{"--headless", "--help"}, ProgramMode::kHelp, ""},
      {{"-h"}, ProgramMode::kHelp, ""},
      {{"--version", "--headless"}, ProgramMode::kVersion, ""},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv = {"/opt/FS/ampora"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProgramOptions options = ParseProgramOptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(options.mode, c.mode) << testing::PrintToString(c.args);
    EXPECT_EQ(options.switches, c.switches) << testing::PrintToString(c.args);
    EXPECT_EQ(options.error.empty(), c.mode != ProgramMode::kBadUsage);
  }
}

TEST(LineReader, LinesArriveInPiecesAndNoLineGrowsBeyondTheLimit) {
  LineReader reader(8);
  std::vector<InputLine> lines = reader.Add("bank");
  EXPECT_TRUE(lines.empty());
  lines = reader.Add(" 5\r\nsta");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "bank 5");
  lines = reader.Add("tus\n12345678\r\n123456789 and more\nquit");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "status");
  EXPECT_EQ(lines[1].text, "12345678") << "at the limit, its \\r dropped";
  EXPECT_TRUE(lines[2].tooLong);
  lines = reader.Finish();
  ASSERT_EQ(lines.size(), 1u) << "the last line needs no line break";
  EXPECT_EQ(lines[0].text, "quit");
  EXPECT_TRUE(reader.Finish().empty());
}

// The console and the event log over the live rig: the lines said and the error lines.
class HeadlessTest : public LiveTest {
 protected:
  void Start(const std::string& iniText) {
    StartWith(iniText);
    log_ = std::make_unique<EventLog>(Live(), out);
    Live().SetEvents(log_.get());
    console_ = std::make_unique<HeadlessConsole>(Live(), view, *log_, errors, [this] { ++quits; });
  }
  void TearDown() override {
    if (log_) Live().SetEvents(nullptr);
    LiveTest::TearDown();
  }
  void Run(const std::string& line) { console_->Run(line); }
  // The lines said since the last call.
  std::vector<std::string> Said() {
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    out.str("");
    return lines;
  }

  std::ostringstream out;
  std::ostringstream errors;
  int quits = 0;

 private:
  std::unique_ptr<EventLog> log_;
  std::unique_ptr<HeadlessConsole> console_;
};

using Lines = std::vector<std::string>;

constexpr char kBanks[] =
    "[conf]\nUseMIDIF=1\nMidiInDeviceName=keys B\n"
    "[Bank03]\nBankName=Three\nFuzz-01=1\n[Bank05]\nBankName=Five\nLevelOutL=-7\n"
    "LevelOutR=-7\nReverb-01=1\n";

TEST_F(HeadlessTest, CommandsActAsTheWindowsControlsAndSaySo) {
  Start(kBanks);
  Run("start");
  EXPECT_EQ(Said(), (Lines{"stream started: input \"demo guitar\", output \"null\", 44100 Hz, "
                           "blocks of 309 frames (7 ms), lag 20..70 ms",
                           "MIDI input opened: \"keys B\""}));
  Run("  BANK 05 ");
  EXPECT_EQ(view.TextNum(), "05");
  EXPECT_TRUE(view.EffectOn(kReverb));
  Run("level in +5");
  Run("level out -3 2");
  Run("effect rv off");
  Run("effect Echo ON");
  Run("effect Echo on");
  EXPECT_EQ(Said(), (Lines{"bank 05 \"Five\" loaded by command", "level in +5 dB",
                           "level out L -3 dB R +2 dB", "effect Reverb off", "effect Echo on",
                           "effect Echo on"}));
  EXPECT_EQ(Live().LevelState().LevelIn, (std::array<int32_t, 2>{5, 5}));
  EXPECT_EQ(Live().LevelState().LevelOut, (std::array<int32_t, 2>{-3, 2}));
  EXPECT_FALSE(view.Fader(kOutFader).Linked());
  EXPECT_FALSE(view.EffectOn(kReverb));

  // Stored under the name of the bank last loaded, as "Store" and a function key do.
  Run("store 3");
  EXPECT_EQ(Said(), Lines{"bank 03 \"Five\" stored"});
  EXPECT_EQ(Stored("Bank03", "BankName"), "Five");
  EXPECT_EQ(Stored("Bank03", "Echo-01"), "1");
  EXPECT_EQ(Stored("Bank03", "LevelOutL"), "-3");
  EXPECT_EQ(view.TextBank(), "Five");

  Run("bypass");
  Run("tuner");
  Run("tuner");
  const Lines said = Said();
  const Lines modes = {said[0], said[2], said[3], said[5]};
  EXPECT_EQ(modes, (Lines{"bypass on", "bypass off", "tuner on", "tuner off"}));
  Run("status");
  EXPECT_EQ(Said(), Lines{"status: stream running at 44100 Hz, normal, bank 03 \"Five\", level "
                          "in +5 dB, out L -3 dB R +2 dB, effects EC, MIDI input open"});
  Run("quit");
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(errors.str(), "");
}

// A wrong line must not change a thing a player relies on: one line on the error stream,
// nothing said, nothing switched, nothing stored.
TEST_F(HeadlessTest, AWrongCommandGetsOneErrorLineAndChangesNothing) {
  Start(kBanks);
  Run("bank 3");
  Said();
  const std::string file = IniText();
  const std::array<bool, kEffectCount> effects = view.EffectsOn();
  const char* const wrong[] = {
      "frobnicate",    "bank",           "bank 0",        "bank 13",           "bank five",
      "bank 3 4",      "store 99",       "level",         "level in",          "level in 51",
      "level out -51", "level out loud", "level in 1 2",  "level side 3",      "level in 1.5",
      "level in +-3",  "effect",         "effect Wah on", "effect Echo maybe", "bypass now",
      "quit please",   "status 1",       "\x1b[2Jbank 5"};
  for (const char* line : wrong) {
    errors.str("");
    Run(line);
    const std::string error = errors.str();
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << line << ": " << error;
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << "control characters are not echoed";
  }
  Run("");
  Run(" \t ");
  EXPECT_EQ(Said(), Lines{});
  EXPECT_EQ(view.TextNum(), "03");
  EXPECT_EQ(view.EffectsOn(), effects);
  EXPECT_EQ(Live().LevelState().LevelIn, (std::array<int32_t, 2>{0, 0}));
  EXPECT_EQ(Engine().StreamRunning(), 0);
  EXPECT_EQ(IniText(), file);
  EXPECT_EQ(quits, 0);
}

TEST_F(HeadlessTest, AProgramChangeLoadsItsBankByMidi) {
  Start(kBanks);
  Run("start");
  Said();
  midiService.Deliver(ProgramChange(0, 4));
  Live().Tick();
  EXPECT_EQ(Said(), Lines{"bank 05 \"Five\" loaded by MIDI"});
  // Closed after a grace of some ticks for the streams to tell of their server's end.
  midiService.lostHandle = midiService.lastHandle;
  std::vector<std::string> said;
  for (int tick = 0; tick < 100 && said.empty(); ++tick) {
    Live().Tick();
    said = Said();
  }
  EXPECT_EQ(said, Lines{"MIDI input lost"});
}

TEST_F(HeadlessTest, TheTunerSaysEachNoteOnceAndNamesAreQuotedSafely) {
  Start("");
  EventLog log(Live(), out);
  // E2 = note 40, A4 = 69, C#5 = 73; a line when the note or its whole cents change.
  const std::optional<NoteReading> notes[] = {
      std::nullopt,          NoteReading{40, -3.2}, NoteReading{40, -2.9},
      NoteReading{40, -2.4}, NoteReading{40, 0.3},  NoteReading{69, 0.0},
      NoteReading{73, 12.6}, std::nullopt,          std::nullopt};
  for (const std::optional<NoteReading>& note : notes) log.TunerRead({17, 0.0, 0.0, note});
  EXPECT_EQ(Said(), (Lines{"tuner: no note", "tuner: E2 -3 cents", "tuner: E2 -2 cents",
                           "tuner: E2", "tuner: A4", "tuner: C#5 +13 cents", "tuner: no note"}));
  log.BankLoaded(1, "Lead\x1b[31m", BankSource::kKey);
  log.MidiInOpened("", false);
  log.MidiInOpened("keys\nA", false);
  log.StreamNotStarted();
  log.StreamLost();
  EXPECT_EQ(Said(), (Lines{"bank 02 \"Lead?[31m\" loaded by key",
                           "MIDI input not opened: no device", "MIDI input not opened: \"keys?A\"",
                           "stream not started", "device lost: stream stopped"}));
}

}  // namespace
}  // namespace ampora::test
