#include "effects/bank_transfer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <sstream>

#include "effects/effect_catalogue.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"
#include "util/error_trap.h"
#include "util/folders.h"

namespace ampora {
namespace {

// Banks go to ampora.ini in a fresh folder that stands in for the program's folder.
class BankTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideAppFolder(folder.path());
    AppTitle = "ampora";
    SettingsIniPath = folder.path() + "ampora.ini";
    ResetEffectParams(fx);
  }
  void TearDown() override {
    OverrideAppFolder("");
    SettingsIniPath.clear();
    ErrorCatch = 0;
  }

  std::string Stored(const std::string& key, const std::string& section) {
    return ReadIniValue(key, SettingValue::Text("<absent>"), "", section, 0);
  }
  void Store(const std::string& key, const std::string& text, const std::string& section) {
    WriteIniValue(key, SettingValue::Text(text), "", section);
  }

  // The number of key lines in a section of the file.
  int KeyCount(const std::string& section) {
    std::istringstream lines(test::ReadFileText(folder.path() + "ampora.ini"));
    std::string line;
    bool inside = false;
    int count = 0;
    while (std::getline(lines, line)) {
      if (line.starts_with("["))
        inside = line.starts_with("[" + section + "]");
      else if (inside && line.find('=') != std::string::npos)
        ++count;
    }
    return count;
  }

  test::TempFolder folder;
  FxParamTable fx{};
  BankLevels levels;
};

TEST(BankNames, SectionsAndKeys) {
  EXPECT_EQ(BankSection(0), "Bank01");
  EXPECT_EQ(BankSection(11), "Bank12");
  EXPECT_EQ(BankSection(-1), "Current");
  EXPECT_EQ(ParamKey(kLimiter, 0), "Limiter-01");
  EXPECT_EQ(ParamKey(kLimiter, 1), "Limiter-02");
  EXPECT_EQ(ParamKey(kGraphicEq, 16), "GraphicEQ-17");
  EXPECT_EQ(ParamKey(kReverb, 6), "Reverb-07");
}

TEST_F(BankTransferTest, LoadingAMissingSectionGivesTheDefaultsAndWritesThemBack) {
  levels = {{5, 6}, {7, 8}};
  EXPECT_EQ(TransferEffectParams(0, "Bank05", fx, levels), 1);
  FxParamTable defaults;
  ResetEffectParams(defaults);
  EXPECT_EQ(fx, defaults);
  EXPECT_EQ(levels.LevelIn, (std::array<int32_t, 2>{0, 0}));
  EXPECT_EQ(levels.LevelOut, (std::array<int32_t, 2>{0, 0}));
  EXPECT_EQ(KeyCount("Bank05"), 4 + 81);
  EXPECT_EQ(Stored("Limiter-01", "Bank05"), "0");
  EXPECT_EQ(Stored("Limiter-03", "Bank05"), "200");
  EXPECT_EQ(Stored("GraphicEQ-17", "Bank05"), "100");
  EXPECT_EQ(Stored("Limiter-06", "Bank05"), "<absent>");
  EXPECT_EQ(Stored("LevelOutR", "Bank05"), "0");
}

TEST_F(BankTransferTest, SavedBankLoadsBackUnchanged) {
  std::mt19937 rng(7);
  for (int e = 0; e < kEffectCount; ++e) {
    for (int row = 0; row < kParamRows; ++row) {
      int32_t& value = fx[FxIndex(e, row)];
      if (value != kNoParam) value = std::uniform_int_distribution<int32_t>(-5000, 5000)(rng);
    }
  }
  fx[FxIndex(kEcho, 0)] = 2;  // counts as off in the chain, loads unchanged
  fx[FxIndex(kDelay, 1)] = std::numeric_limits<int32_t>::min();
  fx[FxIndex(kDelay, 2)] = std::numeric_limits<int32_t>::max();
  Store("LevelInL", "-3", "Bank12");  // the caller writes the levels first
  Store("LevelOutR", "4", "Bank12");
  Store("Limiter-06", "5", "Bank12");  // a key for a row without a parameter

  EXPECT_EQ(TransferEffectParams(kSaveBank, BankSection(11), fx, levels), 1);
  EXPECT_EQ(levels.LevelIn[0], -3);
  EXPECT_EQ(levels.LevelOut[1], 4);
  EXPECT_EQ(KeyCount("Bank12"), 4 + 81 + 1);

  FxParamTable loaded;
  ResetEffectParams(loaded);
  BankLevels loadedLevels;
  EXPECT_EQ(TransferEffectParams(0, "Bank12", loaded, loadedLevels), 1);
  EXPECT_EQ(loaded, fx);
  EXPECT_EQ(loaded[FxIndex(kLimiter, 5)], kNoParam);
  EXPECT_EQ(loadedLevels.LevelIn[0], -3);
}

// A hand-edited value that is no number must not cost the keys after it.
TEST_F(BankTransferTest, AValueThatIsNotANumberKeepsItsDefaultAlone) {
  for (const char* bad : {"abc", "", "12abc", "0x10", "nan", "inf", "99999999999", "-3e9"}) {
    SCOPED_TRACE(bad);
    ResetEffectParams(fx);
    Store("LevelInL", bad, "Current");
    Store("LevelInR", "-4", "Current");
    Store("Limiter-01", "1", "Current");
    Store("Limiter-02", "20", "Current");
    Store("Limiter-03", bad, "Current");
    Store("Limiter-04", "77", "Current");
    Store("Compressor-02", "9", "Current");
    Store("Reverb-07", "33", "Current");
    EXPECT_EQ(TransferEffectParams(0, "Current", fx, levels), 0) << "reported";
    EXPECT_EQ(levels.LevelIn[0], 0);
    EXPECT_EQ(levels.LevelIn[1], -4);
    EXPECT_EQ(fx[FxIndex(kLimiter, 0)], 1);
    EXPECT_EQ(fx[FxIndex(kLimiter, 1)], 20);
    EXPECT_EQ(fx[FxIndex(kLimiter, 2)], 200) << "the unreadable value keeps its default";
    EXPECT_EQ(fx[FxIndex(kLimiter, 3)], 77);
    EXPECT_EQ(fx[FxIndex(kCompressor, 1)], 9);
    EXPECT_EQ(fx[FxIndex(kReverb, 6)], 33);
    EXPECT_EQ(Stored("Limiter-03", "Current"), bad) << "left in the file as it was";
  }
  EXPECT_EQ(KeyCount("Current"), 4 + 81) << "missing keys written back past the bad ones";

  ErrorCatch = 1;
  EXPECT_THROW(TransferEffectParams(0, "Current", fx, levels), RuntimeError);
}

TEST_F(BankTransferTest, NumbersAreReadAsTheSettingsFileWritesThemAndAsPeopleTypeThem) {
  const std::vector<std::pair<const char*, int32_t>> cases = {{"42", 42},
                                                              {" 42\t", 42},
                                                              {"+42", 42},
                                                              {"-7", -7},
                                                              {"42.5", 42},
                                                              {"43.5", 44},
                                                              {"1e3", 1000},
                                                              {"-2147483648", -2147483648},
                                                              {"007", 7},
                                                              {"-0", 0},
                                                              {"2147483647", 2147483647}};
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    Store("Reverb-02", text, "Bank03");
    ResetEffectParams(fx);
    EXPECT_EQ(TransferEffectParams(0, "Bank03", fx, levels), 1);
    EXPECT_EQ(fx[FxIndex(kReverb, 1)], value);
  }
}

// The working setting a plugin host keeps is a section in memory: it is written and read
// as the settings file is, and its errors follow the switch given.
TEST_F(BankTransferTest, ASectionInMemoryTransfersAsTheFileDoes) {
  std::mt19937 rng(11);
  for (int32_t& value : fx) {
    if (value != kNoParam) value = std::uniform_int_distribution<int32_t>(-500, 500)(rng);
  }
  levels = {{-3, -3}, {4, 2}};
  BankLevels readBack;
  WriteBankLevels(levels, "Current");
  ASSERT_EQ(TransferEffectParams(kSaveBank, "Current", fx, readBack), 1);

  ProfileText memory("");
  TextSection section(memory, "Current");
  const std::atomic<int> own{0};
  WriteBankLevels(levels, section);
  ASSERT_EQ(TransferEffectParams(kSaveBank, section, fx, readBack, own), 1);
  EXPECT_EQ(memory.text(), test::ReadFileText(folder.path() + "ampora.ini"));

  FxParamTable loaded;
  ResetEffectParams(loaded);
  BankLevels loadedLevels;
  ASSERT_EQ(TransferEffectParams(0, section, loaded, loadedLevels, own), 1);
  EXPECT_EQ(loaded, fx);
  EXPECT_EQ(loadedLevels.LevelOut, levels.LevelOut);

  section.Write("Limiter-03", SettingValue::Text("abc"));
  ResetEffectParams(loaded);
  ErrorCatch = 1;
  EXPECT_EQ(TransferEffectParams(0, section, loaded, loadedLevels, own), 0);
  FxParamTable defaults;
  ResetEffectParams(defaults);
  EXPECT_EQ(loaded[FxIndex(kLimiter, 1)], fx[FxIndex(kLimiter, 1)]);
  EXPECT_EQ(loaded[FxIndex(kLimiter, 2)], defaults[FxIndex(kLimiter, 2)]);
  EXPECT_EQ(loaded[FxIndex(kLimiter, 3)], fx[FxIndex(kLimiter, 3)])
      << "the keys after the bad one are read all the same";
}

}  // namespace
}  // namespace ampora
