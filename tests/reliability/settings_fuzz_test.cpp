#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "effects/effect_catalogue.h"
#include "reliability/settings_file_generator.h"
#include "reliability/startup_shutdown_cycle.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"
#include "util/text.h"

// A fuzz run is only as good as its generator and its verdict: a generator that stopped
// making some kind of damage, or a verdict that lets a damaged file pass, would report
// zero faults while testing nothing.

namespace ampora::reliability {
namespace {

using namespace std::string_literals;

TEST(SettingsFileGeneratorTest, ASeedNamesOneFileAndSeedsDiffer) {
  std::set<std::string> files;
  for (uint64_t seed = 0; seed < 300; ++seed) {
    const std::string file = GenerateSettingsFile(seed);
    ASSERT_EQ(GenerateSettingsFile(seed), file) << "seed " << seed;
    files.insert(file);
  }
  EXPECT_GT(files.size(), 290u);
}

bool HasLine(const std::string& text, const std::function<bool(std::string_view)>& test) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    if (test(TrimBlanks(std::string_view(text).substr(begin, end - begin)))) return true;
    begin = end + 1;
  }
  return false;
}

TEST(SettingsFileGeneratorTest, FilesReachEverySettingAndEveryKindOfDamage) {
  struct Feature {
    std::string name;
    std::function<bool(const std::string&)> found;
  };
  const auto contains = [](std::string part) {
    return [part](const std::string& text) { return text.find(part) != std::string::npos; };
  };
  std::vector<Feature> features;
  for (const char* key :
       {"LogError=", "ErrorCatch=", "AltFont=", "BufferMS=", "DelayMinMS=", "DelayMaxMS=",
        "DeviceIn=", "DeviceOut=", "MidiInDeviceName=", "MidiCh=", "UseMIDIF=", "LangMode=",
        "WindowLeft=", "WindowState=", "LevelOutR=", "[Current]", "[Bank12]", "BankName="}) {
    features.push_back({key, contains(key)});
  }
  for (const EffectSpec& effect : kEffectCatalogue) {
    features.push_back(
        {std::string(effect.name) + "-17 or its last row",
         contains(std::string(effect.name) + "-" + ZeroPadded(effect.paramCount + 1, 2) + "=")});
  }
  features.push_back({"a NUL byte", contains("\0"s)});
  features.push_back({"a byte order mark", contains("\xEF\xBB\xBF")});
  features.push_back({"invalid UTF-8", contains("\xFF")});
  features.push_back({"a value beyond 32 bits", contains("=2147483648")});
  features.push_back({"NaN", contains("=NaN")});
  features.push_back({"infinity", contains("=-INFINITY")});
  features.push_back({"a decimal comma", contains("=1,5")});
  features.push_back({"an empty value", contains("=\n")});
  features.push_back({"the absent-key sentinel", contains("=ISDEFAULT")});
  features.push_back({"a CR alone", [](const std::string& t) {
                        for (std::size_t at = t.find('\r'); at != std::string::npos;
                             at = t.find('\r', at + 1)) {
                          if (at + 1 == t.size() || t[at + 1] != '\n') return true;
                        }
                        return false;
                      }});
  features.push_back({"an unterminated section", [](const std::string& t) {
                        return HasLine(t, [](std::string_view line) {
                          return line.starts_with("[") && line.size() > 3 &&
                                 line.find(']') == std::string_view::npos;
                        });
                      }});
  features.push_back({"a duplicate section", [](const std::string& t) {
                        const std::size_t first = t.find("[Current]");
                        return first != std::string::npos &&
                               t.find("[Current]", first + 1) != std::string::npos;
                      }});
  features.push_back({"a line of over 64 KB", [](const std::string& t) {
                        return HasLine(t,
                                       [](std::string_view line) { return line.size() > 65536; });
                      }});

  std::vector<bool> found(features.size(), false);
  for (uint64_t seed = 0; seed < 3000; ++seed) {
    const std::string file = GenerateSettingsFile(seed);
    for (std::size_t f = 0; f < features.size(); ++f) {
      if (!found[f]) found[f] = features[f].found(file);
    }
  }
  for (std::size_t f = 0; f < features.size(); ++f) {
    EXPECT_TRUE(found[f]) << "no file with " << features[f].name;
  }
}

TEST(SettingsFileGeneratorTest, ShortRunsMeetAHugeFileAndOneTooLargeToRead) {
  const std::string huge = GenerateSettingsFile(10000);
  EXPECT_GT(huge.size(), 2u << 20);
  EXPECT_LE(huge.size(), kMaxProfileFileBytes);
  EXPECT_GT(GenerateSettingsFile(99999).size(), kMaxProfileFileBytes);
}

class CycleFaultTest : public ::testing::Test {
 protected:
  // A file with a bank, out-of-range main settings and damage in the working setting.
  // A minimised window keeps its edges as stored, read up to the first NUL.
  const std::string generated_ =
      "[conf]\nBufferMS=1e9\nDelayMinMS=-5\nDeviceOut=gone\nMidiCh=2\n"
      "WindowLeft=92\0x\nWindowState=1\n"s +
      "[Current]\nEcho-02=abc\nLevelOutL=300\n"s +
      "[Bank03]\nBankName=Lead\nLevelInL=-4\nEcho-01=1\n";
  test::TempFolder folder_;
  StartUpShutDownRig rig_{folder_.path()};
};

TEST_F(CycleFaultTest, ARealRunPassesAndItsDamagedCopiesDoNot) {
  const CycleOutcome first = rig_.Run(generated_);
  const CycleOutcome second = rig_.Run(first.written);
  ASSERT_FALSE(first.endedByErrorReport) << first.errorText;
  ASSERT_EQ(CycleFault(generated_, first, second), "") << first.written;
  EXPECT_EQ(first.timing, (std::array<float, 3>{30, 1, 70}));
  EXPECT_EQ(first.waveDevices[1], -1) << "a device not found is the default device";
  EXPECT_EQ(second.deviceNames[1], "gone") << "and its name is kept for when it is back";

  struct Damage {
    const char* what;
    std::function<void(ProfileText&)> apply;
    const char* verdict;
  };
  const std::vector<Damage> damages = {
      {"buffer too long", [](ProfileText& p) { p.Set("conf", "BufferMS", "31"); }, "BufferMS"},
      {"delay lost", [](ProfileText& p) { p.Remove("conf", "DelayMaxMS"); }, "DelayMaxMS"},
      {"channel a fraction", [](ProfileText& p) { p.Set("conf", "MidiCh", "1.5"); }, "MidiCh"},
      {"unknown input", [](ProfileText& p) { p.Set("conf", "DeviceIn", "gone"); }, "DeviceIn"},
      {"missing output forgotten", [](ProfileText& p) { p.Set("conf", "DeviceOut", "***"); },
       "DeviceOut"},
      {"MIDI input lost", [](ProfileText& p) { p.Remove("conf", "MidiInDeviceName"); },
       "MidiInDeviceName"},
      {"state beyond maximised", [](ProfileText& p) { p.Set("conf", "WindowState", "3"); },
       "WindowState"},
      {"edge beyond 32 bits", [](ProfileText& p) { p.Set("conf", "WindowTop", "3e9"); },
       "WindowTop"},
      {"parameter lost", [](ProfileText& p) { p.Remove("Current", "Reverb-07"); }, "Reverb-07"},
      {"level beyond the fader", [](ProfileText& p) { p.Set("Current", "LevelOutL", "51"); },
       "LevelOutL"},
      {"parameter no number", [](ProfileText& p) { p.Set("Current", "Echo-02", "x"); }, "Echo-02"},
      {"bank name changed", [](ProfileText& p) { p.Set("Bank03", "BankName", "Solo"); }, "Bank03"},
      // The values of a bank are compared a sample of keys at a time; a lost section
      // shows in every sample.
      {"bank section lost",
       [](ProfileText& p) {
         std::string text = p.text();
         p = ProfileText(text.replace(text.find("[Bank03]"), 8, "[Bank3]"));
       },
       "Bank03"},
  };
  for (const Damage& damage : damages) {
    CycleOutcome damaged = first;
    ProfileText text(first.written);
    damage.apply(text);
    damaged.written = text.text();
    EXPECT_NE(CycleFault(generated_, damaged, second).find(damage.verdict), std::string::npos)
        << damage.what;
  }

  // A file the program could not rewrite holds a longer name than a read keeps.
  CycleOutcome unsaved = first;
  unsaved.deviceNames[0] = std::string(kIniValueReadBytes, 'v');
  ProfileText longName(first.written);
  longName.Set("conf", "DeviceIn", std::string(300, 'v'));
  unsaved.written = longName.text();
  EXPECT_EQ(CycleFault(generated_, unsaved, second).find("DeviceIn"), std::string::npos);

  CycleOutcome moved = second;
  moved.written += "\n";
  EXPECT_NE(CycleFault(generated_, first, moved), "") << "a file that changes again";
  moved = second;
  moved.fx[FxIndex(kEcho, 1)] += 1;
  EXPECT_NE(CycleFault(generated_, first, moved), "") << "another working setting loaded";
  moved = second;
  moved.windowState = 2;
  EXPECT_NE(CycleFault(generated_, first, moved), "") << "the window elsewhere";
}

TEST_F(CycleFaultTest, WithErrorCatchOnAnErrorEndsTheRunWithItsReport) {
  const CycleOutcome first = rig_.Run("[conf]\nErrorCatch=1\n[Current]\nEcho-02=abc\n");
  EXPECT_TRUE(first.endedByErrorReport);
  EXPECT_NE(first.errorText, "");
  EXPECT_EQ(CycleFault("", first, CycleOutcome{}), "");
  EXPECT_FALSE(rig_.Run(generated_).endedByErrorReport) << "the switch is read afresh";
}

}  // namespace
}  // namespace ampora::reliability
