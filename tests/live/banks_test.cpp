#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "effects/db_to_gain.h"
#include "effects/effect_catalogue.h"
#include "live/banks.h"
#include "live/live_rig.h"
#include "support/effect_harness.h"
#include "support/signals.h"

namespace ampora::test {
namespace {

constexpr int32_t kF2 = kKeyF1 + 1;
constexpr int32_t kF3 = kKeyF1 + 2;

// A bank that differs from the default setting in every kind of value: levels with a
// split output pair, effects on with parameters away from their defaults, an on/off
// value that is neither 0 nor 1.
constexpr const char* kCrunchBank =
    "[Bank02]\nBankName=Crunch\nLevelInL=5\nLevelInR=5\nLevelOutL=4\nLevelOutR=2\n"
    "OverDrive-01=1\nOverDrive-02=80\nEcho-01=1\nEcho-02=3\nEcho-03=70\nReverb-01=2\n";

// One block of a pluck through a chain, from block 0 of its rings; samples interleaved.
std::vector<int16_t> FirstBlockThrough(EffectChain& chain, StreamBuffers& stream) {
  const std::vector<int16_t> pluck = Pluck(196.0, 12000.0, stream.BlockLen);
  for (int32_t i = 0; i < stream.BlockLen; ++i) stream.CaptureRing[i] = Frame{pluck[i], 0};
  chain.ProcessBlock(0, stream.BlockLen - 1);
  return Interleaved({stream.PlayRing.begin(), stream.PlayRing.begin() + stream.BlockLen});
}

class BankTest : public LiveTest {};

TEST_F(BankTest, FunctionKeyLoadsEveryEffectTheLevelsAndTheGains) {
  StartWith(kCrunchBank);
  ASSERT_TRUE(view.Fader(kOutFader).Linked()) << "Current has equal output levels";
  EXPECT_TRUE(Live().KeyReleased(kF2, 0));

  const FxParamTable& fx = Live().Chain().FxParam;
  EXPECT_EQ(fx[FxIndex(kOverDrive, 1)], 80);
  EXPECT_EQ(fx[FxIndex(kEcho, 1)], 3);
  EXPECT_EQ(fx[FxIndex(kReverb, 0)], 2) << "loaded unchanged";
  EXPECT_EQ(fx[FxIndex(kLimiter, 1)], 50) << "a missing key keeps its default";
  std::array<bool, kEffectCount> expectedOn{};
  expectedOn[kOverDrive] = expectedOn[kEcho] = true;
  EXPECT_EQ(view.EffectsOn(), expectedOn) << "2 counts as off";
  for (int e = 0; e < kEffectCount; ++e) EXPECT_TRUE(Live().Chain().FxResync[e]) << e;

  // The output pair loads split although the fader was linked before.
  EXPECT_FALSE(view.Fader(kOutFader).Linked());
  EXPECT_EQ(view.Fader(kOutFader).ValueL(), 4);
  EXPECT_EQ(view.Fader(kOutFader).ValueR(), 2);
  const StreamBuffers& gains = Engine().Buffers();
  EXPECT_EQ(gains.InGain, (std::array<float, 2>{DbToGain(5), DbToGain(5)}));
  EXPECT_EQ(gains.OutGain, (std::array<float, 2>{DbToGain(4), DbToGain(2)}));

  EXPECT_EQ(view.TextBank(), "Crunch");
  EXPECT_EQ(view.TextNum(), "02");
  EXPECT_EQ(view.Status(), "OUT : L=+04db R=+02db");

  // Every effect's state was recomputed: the chain sounds like a fresh one given the bank.
  StreamBuffers refStream;
  AllocateRings(refStream, Engine().Buffers().BlockLen, Engine().Buffers().BlockCount);
  refStream.InGain = gains.InGain;
  refStream.OutGain = gains.OutGain;
  EffectChain reference(refStream);
  reference.InitEffectTables();
  reference.FxParam = fx;
  for (int e = 0; e < kEffectCount; ++e) reference.ApplyEffectParams(e);
  EXPECT_EQ(FirstBlockThrough(Live().Chain(), Engine().Buffers()),
            FirstBlockThrough(reference, refStream));
}

// An open effect editor is told after every load, once the loaded values are in place,
// and not when a bank is stored.
TEST_F(BankTest, LoadingABankTellsTheViewOnceTheValuesAreIn) {
  StartWith(kCrunchBank);
  EXPECT_EQ(view.effectSettingsLoaded, 1) << "start-up loads the working setting";
  std::vector<int32_t> seen;
  view.onEffectSettingsLoaded = [&] {
    seen.push_back(Live().Chain().FxParam[FxIndex(kOverDrive, 1)]);
  };
  Live().KeyReleased(kF2, 0);
  Live().KeyReleased(kKeyF1, 0);
  EXPECT_EQ(seen, (std::vector<int32_t>{80, 50}));

  Live().ButtonClicked(kStoreButton);
  Live().KeyReleased(kF3, 0);
  EXPECT_EQ(Stored("Bank03", "OverDrive-02"), "50");
  EXPECT_EQ(seen.size(), 2U) << "storing loads nothing";
}

TEST_F(BankTest, ABankNeverStoredLoadsTheDefaultsAndGetsTheirKeys) {
  StartWith("");
  Live().KeyReleased(kKeyF12, 0);
  EXPECT_EQ(view.TextBank(), "NoName");
  EXPECT_EQ(view.TextNum(), "12");
  EXPECT_EQ(Stored("Bank12", "BankName"), "NoName");
  EXPECT_EQ(Stored("Bank12", "Reverb-07"), "50");
  EXPECT_EQ(Stored("Bank12", "LevelOutR"), "0");
  EXPECT_EQ(view.Status(), "OUT : L=+00db R=+00db");
}

TEST_F(BankTest, StoreThenFunctionKeyWritesTheBankUnderTheTypedName) {
  StartWith("");
  Live().EffectClicked(kDelay, kMouseLeft);
  view.Fader(kOutFader).SetLinked(false);
  view.Fader(kOutFader).SetValueL(-7);
  Live().LevelChanged(kOutFader);
  view.SetTextBank("Lead");

  Live().ButtonClicked(kStoreButton);
  EXPECT_EQ(view.TextBank(), kStorePrompt);
  EXPECT_EQ(Live().PendingBankName(), "Lead");
  EXPECT_TRUE(Live().KeyReleased(kF3, 0));

  EXPECT_EQ(Stored("Bank03", "BankName"), "Lead");
  EXPECT_EQ(Stored("Bank03", "Delay-01"), "1");
  EXPECT_EQ(Stored("Bank03", "LevelOutL"), "-7");
  EXPECT_EQ(Stored("Bank03", "LevelOutR"), "0");
  EXPECT_EQ(view.TextBank(), "Lead");
  EXPECT_EQ(Live().PendingBankName(), "");

  // Loaded back after another bank: the same setting, the output split again.
  Live().KeyReleased(kKeyF1, 0);
  EXPECT_FALSE(view.EffectOn(kDelay));
  Live().KeyReleased(kF3, 0);
  EXPECT_TRUE(view.EffectOn(kDelay));
  EXPECT_FALSE(view.Fader(kOutFader).Linked());
  EXPECT_EQ(Live().LevelState().LevelOut, (std::array<int32_t, 2>{-7, 0}));
}

// A name is one line of the settings file.
TEST(StorableBankName, ControlCharactersBecomeSpacesAndTheEndsAreTrimmed) {
  std::string kanji;
  for (int i = 0; i < 100; ++i) kanji += "漢";  // 300 bytes
  const std::string kept = kanji.substr(0, 84 * 3);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Crunch lead", "Crunch lead"},
      {"Crunch\nlead", "Crunch lead"},
      {"Crunch\r\nlead", "Crunch  lead"},
      {"a\tb\x7F"
       "c\x1B"
       "d",
       "a b c d"},
      {std::string("nul\0byte", 8), "nul byte"},
      {"  spaced\n", "spaced"},
      {"クランチ\u2028リード\u2029", "クランチ リード"},
      {"\u0085next\u009F", "next"},
      {"über Ça", "über Ça"},
      {"\n\r\n", ""},
      {kanji, kept},
  };
  for (const auto& [typed, stored] : cases) EXPECT_EQ(StorableBankName(typed), stored) << typed;
}

// A pasted name with a line break is stored, shown and reloaded with a space instead.
TEST_F(BankTest, ANameWithALineBreakIsStoredAsOneLine) {
  StartWith("");
  view.SetTextBank("Crunch\nlead");
  Live().ButtonClicked(kStoreButton);
  Live().KeyReleased(kF3, 0);
  EXPECT_EQ(Stored("Bank03", "BankName"), "Crunch lead");
  EXPECT_EQ(view.TextBank(), "Crunch lead") << "shown as stored";
  Live().KeyReleased(kKeyF1, 0);
  Live().KeyReleased(kF3, 0);
  EXPECT_EQ(view.TextBank(), "Crunch lead");
}

TEST_F(BankTest, EscapeCancelsTheStoreAndWritesNothing) {
  StartWith("[Current]\n");
  view.SetTextBank("Clean");
  const std::string before = IniText();
  Live().ButtonClicked(kStoreButton);
  EXPECT_TRUE(Live().KeyReleased(kKeyEscape, 0));
  EXPECT_EQ(view.TextBank(), "Clean");
  EXPECT_EQ(Live().PendingBankName(), "");
  EXPECT_EQ(IniText(), before);
  // The next function key loads again.
  Live().KeyReleased(kF3, 0);
  EXPECT_EQ(view.TextBank(), "NoName");
}

// An empty name is stored as "NoName"; a second Store keeps the first name, never the
// prompt.
TEST_F(BankTest, StorePressedTwiceKeepsTheFirstName) {
  StartWith("");
  Live().ButtonClicked(kStoreButton);
  Live().ButtonClicked(kStoreButton);
  EXPECT_EQ(Live().PendingBankName(), "NoName");
  Live().KeyReleased(kF3, 0);
  EXPECT_EQ(Stored("Bank03", "BankName"), "NoName");
  EXPECT_EQ(view.TextBank(), "NoName");
  EXPECT_EQ(view.TextNum(), "03");
}

TEST_F(BankTest, FunctionKeysAndEscapeAreConsumedOnlyWithoutShift) {
  StartWith("");
  EXPECT_TRUE(Live().KeyReleased(kKeyF1, 0));
  EXPECT_FALSE(Live().KeyReleased(kKeyF1, 1));
  EXPECT_EQ(view.TextNum(), "01") << "a shifted key still acts";
  EXPECT_TRUE(Live().KeyReleased(kKeyEscape, 0));
  EXPECT_FALSE(Live().KeyReleased(kKeyEscape, 2));
  for (const int32_t other : {0, 13, kKeyF1 - 1, kKeyF12 + 1, 65}) {
    EXPECT_FALSE(Live().KeyReleased(other, 0)) << other;
  }
  EXPECT_EQ(view.TextNum(), "01");
}

TEST_F(BankTest, EffectButtonsSwitchEffectsAndOpenTheEditor) {
  StartWith("[Current]\nChorus-01=5\n");
  Live().Chain().FxResync = {};
  Live().EffectClicked(kChorus, kMouseLeft);
  EXPECT_EQ(Live().Chain().FxParam[FxIndex(kChorus, 0)], 1) << "5 counted as off";
  EXPECT_TRUE(view.EffectOn(kChorus));
  EXPECT_TRUE(Live().Chain().FxResync[kChorus]);
  Live().EffectClicked(kChorus, kMouseLeft);
  EXPECT_EQ(Live().Chain().FxParam[FxIndex(kChorus, 0)], 0);
  EXPECT_FALSE(view.EffectOn(kChorus));

  Live().EffectClicked(7, kMouseRight);
  Live().EffectClicked(3, kMouseRight);  // the editor moves to effect 3
  Live().EffectClicked(3, kMouseRight);  // and a second click closes it
  EXPECT_EQ(view.editorCalls, (std::vector<std::string>{"open 7", "close", "open 3", "close"}));
}

}  // namespace
}  // namespace ampora::test
