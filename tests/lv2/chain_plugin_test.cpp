#include "lv2/chain_plugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "audio/devices/sample_conversion.h"
#include "effects/effect_catalogue.h"
#include "lv2/plugin_ports.h"
#include "plugin_reference.h"
#include "support/allocation_counter.h"
#include "support/temp_folder.h"
#include "util/error_trap.h"
#include "util/pending_events.h"

namespace ampora {
namespace {

using test::BusyBank;
using test::PortOf;
using test::Samples;
using test::TestBank;

constexpr int32_t kLatency = 309;
constexpr uint32_t kLongestHostBlock = 8192;

bool IsControlInput(const PortSpec& port) {
  return port.role != PortRole::kAudioIn && port.role != PortRole::kAudioOutLeft &&
         port.role != PortRole::kAudioOutRight && port.role != PortRole::kLatency;
}

// A host of our own around one instance: every port connected, the controls at their
// defaults, blocks of the lengths given.
class PluginRig {
 public:
  explicit PluginRig(double sampleRate = 44100) : plugin_(ChainPlugin::Create(sampleRate)) {
    const std::vector<PortSpec>& ports = PluginPorts();
    controls_.resize(ports.size());
    for (uint32_t p = 0; p < ports.size(); ++p) {
      controls_[p] = static_cast<float>(ports[p].defaultValue);
      if (IsControlInput(ports[p])) plugin_->ConnectPort(p, &controls_[p]);
    }
    plugin_->ConnectPort(kInPort, in_.data());
    plugin_->ConnectPort(kOutLeftPort, left_.data());
    plugin_->ConnectPort(kOutRightPort, right_.data());
    plugin_->ConnectPort(kLatencyPort, &latency_);
    plugin_->Activate();
  }

  ChainPlugin& plugin() { return *plugin_; }
  float latency() const { return latency_; }
  void Set(const std::string& symbol, float value) { controls_[PortOf(symbol)] = value; }

  // Allocations made inside Run.
  uint64_t runAllocations = 0;

  // The bank's rows and levels through the controls.
  void SetBank(const TestBank& bank) { test::SetControls(bank, controls_); }

  // Runs the input through in host blocks of the lengths given, over and over.
  std::vector<Frame> Process(const std::vector<int16_t>& input,
                             const std::vector<uint32_t>& blocks = {256}) {
    return test::ProcessInBlocks(input, blocks, in_.data(), left_.data(), right_.data(),
                                 [&](uint32_t count) {
                                   const uint64_t before = test::AllocationCount();
                                   plugin_->Run(count);
                                   runAllocations += test::AllocationCount() - before;
                                 });
  }

 private:
  std::unique_ptr<ChainPlugin> plugin_;
  std::vector<float> controls_;
  std::vector<float> in_ = std::vector<float>(kLongestHostBlock);
  std::vector<float> left_ = std::vector<float>(kLongestHostBlock);
  std::vector<float> right_ = std::vector<float>(kLongestHostBlock);
  float latency_ = -1.0f;
};

// Three and a half seconds: the rings (3 s) wrap once.
const std::vector<int16_t>& LongInput() {
  static const std::vector<int16_t> input = test::GuitarInput(154350);
  return input;
}

// The output is the renderer's, one block later, whatever lengths the host's blocks have:
// one frame at a time, the usual powers of two, lengths across block boundaries, the
// longest, and lengths that change from call to call.
TEST(ChainPluginTest, PlaysWhatTheRendererWritesOneBlockLaterAtAnyHostBlockLength) {
  const TestBank bank = BusyBank(true);
  const std::vector<Frame> reference =
      test::RenderedReference(test::SectionText("Current", bank), "Current", LongInput());
  const std::vector<std::vector<uint32_t>> patterns = {
      {1}, {64}, {256}, {1000}, {kLongestHostBlock}, {1, 309, 7, 4096, 310, 2, 1000, 8192, 308}};
  for (const std::vector<uint32_t>& blocks : patterns) {
    SCOPED_TRACE(blocks.size() == 1 ? std::to_string(blocks[0]) : "varying");
    PluginRig rig;
    rig.SetBank(bank);
    test::ExpectOneBlockLater(rig.Process(LongInput(), blocks), reference);
    EXPECT_EQ(rig.latency(), kLatency);
  }
}

TEST(ChainPluginTest, ReportsItsLatencyAndRefusesRatesTheChainCannotPlay) {
  PluginRig rig;
  rig.plugin().Run(0);
  EXPECT_EQ(rig.latency(), kLatency);
  EXPECT_EQ(rig.plugin().Latency(), kLatency);
  for (double rate : {22049.0, 44100.5, 192001.0, 0.0, -44100.0})
    EXPECT_EQ(ChainPlugin::Create(rate), nullptr) << rate;
  for (double rate : {22050.0, 48000.0, 192000.0}) EXPECT_NE(ChainPlugin::Create(rate), nullptr);
}

// At the host's rate the chain plays what the renderer makes at that rate, a block of
// 7 ms later.
TEST(ChainPluginTest, PlaysWhatTheRendererWritesAtTheHostsRate) {
  const TestBank bank = BusyBank(true);
  for (const auto& [rate, blockLen] : {std::pair{48000, 336}, std::pair{96000, 672}}) {
    SCOPED_TRACE(rate);
    const std::vector<int16_t> input = test::GuitarInput(rate * 7 / 2);
    const std::vector<Frame> reference =
        test::RenderedReference(test::SectionText("Current", bank), "Current", input, rate);
    PluginRig rig(rate);
    rig.SetBank(bank);
    test::ExpectOneBlockLater(rig.Process(input, {1, 1000, 64, 8192}), reference, blockLen);
    EXPECT_EQ(rig.latency(), blockLen);
  }
}

// A change reaches the chain at the next block that starts: the block already being
// filled keeps the setting it began with, as if the change came at its end.
TEST(ChainPluginTest, AChangeTakesEffectAtTheNextBlock) {
  const std::vector<int16_t> input = test::GuitarInput(4 * kLatency);
  const std::vector<int16_t> head(input.begin(), input.begin() + 100);
  const std::vector<int16_t> firstBlock(input.begin(), input.begin() + kLatency);
  auto changedAfter = [&](const std::vector<int16_t>& before) {
    PluginRig rig;
    std::vector<Frame> output = rig.Process(before);
    rig.Set("OverDrive_01", 1);
    rig.Set("LevelOutR", -6);
    const std::vector<int16_t> rest(input.begin() + static_cast<ptrdiff_t>(before.size()),
                                    input.end());
    const std::vector<Frame> after = rig.Process(rest);
    output.insert(output.end(), after.begin(), after.end());
    return Samples(output);
  };
  EXPECT_EQ(changedAfter(head), changedAfter(firstBlock));
  EXPECT_NE(changedAfter({}), changedAfter(firstBlock));
}

// Controls hold the editor's values: limited to its ranges, rounded to integers (ties to
// even); a switch is on above 0; a value that is no number is ignored.
TEST(ChainPluginTest, ControlsAreLimitedToTheEditorsRangesAndRounded) {
  struct Case {
    const char* symbol;
    float value;
    const char* stored;
  };
  const std::vector<Case> cases = {
      {"Echo_02", 99999.0f, "Echo-02=2000"},
      {"Echo_02", -5.0f, "Echo-02=1"},
      {"Echo_03", 12.5f, "Echo-03=12"},
      {"Echo_03", 13.5f, "Echo-03=14"},
      {"Echo_01", 0.3f, "Echo-01=1"},
      {"Echo_01", -1.0f, "Echo-01=0"},
      {"LevelIn", 80.0f, "LevelInR=50"},
      {"LevelOutR", -7.4f, "LevelOutR=-7"},
      {"GraphicEQ_02", -20.0f, "GraphicEQ-02=-15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.symbol) + " " + std::to_string(c.value));
    PluginRig rig;
    rig.Set(c.symbol, c.value);
    rig.plugin().Run(0);
    rig.Set(c.symbol, std::numeric_limits<float>::quiet_NaN());
    rig.plugin().Run(0);
    EXPECT_NE(rig.plugin().WorkingSettingText().find(std::string("\n") + c.stored + "\n"),
              std::string::npos);
  }
}

// Everything a host may do while it plays: blocks of any length, every kind of control
// moving (the pitch shifter over its whole range), banks selected, levels changed.
TEST(ChainPluginTest, RunAllocatesNothing) {
  test::TempFolder folder;
  test::WriteFileText(
      folder.path() + "banks.ini",
      test::SectionText("Bank01", BusyBank(true)) + test::SectionText("Bank02", BusyBank(false)));
  PluginRig rig;
  ASSERT_TRUE(rig.plugin().UseSettingsFile(folder.path() + "banks.ini"));
  rig.SetBank(BusyBank(true));
  const std::vector<int16_t> input = test::GuitarInput(700);
  int step = 0;
  for (int pitch = -12; pitch <= 12; pitch += 3) {
    rig.Set("PitchShift_02", static_cast<float>(pitch));
    rig.Set("PitchShift_03", static_cast<float>(pitch * 8));
    rig.Set("Bank", static_cast<float>(step % 3));
    rig.Set("Echo_01", static_cast<float>(step % 2));
    rig.Set("LevelOutL", static_cast<float>(-step));
    rig.Process(input, {1, 64, 500, 8192});
    ++step;
  }
  EXPECT_EQ(rig.runAllocations, 0u);
}

// The working setting is saved as the program saves its "[Current]" section, and a state
// restored into a fresh instance plays what the first one played: also a bank loaded by
// the bank port and a control moved after it, which the controls alone cannot show.
TEST(ChainPluginTest, ARestoredStatePlaysWhatWasHeard) {
  test::TempFolder folder;
  const TestBank busy = BusyBank(true);
  test::WriteFileText(folder.path() + "banks.ini", test::SectionText("Bank03", busy));
  PluginRig first;
  ASSERT_TRUE(first.plugin().UseSettingsFile(folder.path() + "banks.ini"));
  first.Set("Bank", 3);
  first.plugin().Run(0);
  first.Set("Echo_02", 250);
  first.plugin().Run(0);
  const std::string text = first.plugin().WorkingSettingText();

  TestBank heard = busy;
  heard.fx[FxIndex(kEcho, 1)] = 250;
  EXPECT_EQ(text, test::SectionText("Current", heard));

  PluginRig second;
  second.Set("Echo_01", 1);
  second.Set("LevelIn", -20);
  second.plugin().RestoreWorkingSetting(text);
  const std::vector<int16_t> input = test::GuitarInput(20 * kLatency);
  first.plugin().Activate();
  EXPECT_EQ(Samples(second.Process(input)), Samples(first.Process(input)))
      << "the controls' values after the restore are not changes";
  EXPECT_EQ(second.plugin().WorkingSettingText(), text);

  second.Set("Echo_02", 300);
  second.plugin().Run(0);
  EXPECT_NE(second.plugin().WorkingSettingText().find("\nEcho-02=300\n"), std::string::npos);
}

// A state is a settings text, perhaps edited by hand: values outside the editor's ranges
// are kept as they are, and a value that is no number keeps its default alone, as when
// the program loads a bank.
TEST(ChainPluginTest, AStateIsReadAsTheProgramReadsABank) {
  PluginRig rig;
  rig.plugin().RestoreWorkingSetting(
      "[Current]\nLevelOutL=-80\nEcho-01=2\nEcho-02=5000\nDelay-02=abc\nDelay-03=7\n");
  const std::string text = rig.plugin().WorkingSettingText();
  for (const char* kept :
       {"LevelOutL=-50", "Echo-01=2", "Echo-02=5000", "Delay-02=60", "Delay-03=7", "Reverb-01=0"}) {
    EXPECT_NE(text.find(std::string("\n") + kept + "\n"), std::string::npos) << kept;
  }
  rig.plugin().RestoreWorkingSetting("not a settings text at all\n\0\xff");
  EXPECT_EQ(rig.plugin().WorkingSettingText(), test::SectionText("Current", [] {
              TestBank defaults;
              ResetEffectParams(defaults.fx);
              return defaults;
            }()));
}

// The bank port loads a bank of the settings file: it then plays as ampora-render renders
// that bank. A bank the file lacks is the default setting, as in the program.
TEST(ChainPluginTest, TheBankPortPlaysTheBanksOfTheSettingsFile) {
  test::TempFolder folder;
  const std::string ini = test::SectionText("Bank02", BusyBank(false));
  test::WriteFileText(folder.path() + "banks.ini", ini);
  const std::vector<int16_t> input = test::GuitarInput(30 * kLatency);

  PluginRig rig;
  ASSERT_TRUE(rig.plugin().UseSettingsFile(folder.path() + "banks.ini"));
  rig.Set("Bank", 2);
  test::ExpectOneBlockLater(rig.Process(input), test::RenderedReference(ini, "Bank02", input));

  PluginRig missing;
  ASSERT_TRUE(missing.plugin().UseSettingsFile(folder.path() + "banks.ini"));
  missing.Set("Bank", 7);
  missing.Set("LevelIn", 6);
  const std::vector<Frame> plain = missing.Process(input);
  test::ExpectOneBlockLater(plain, test::RenderedReference("[Current]\n", "Current", input));
}

TEST(ChainPluginTest, ASettingsFileThatCannotBeReadLeavesNoBankButKeepsItsName) {
  test::TempFolder folder;
  const TestBank busy = BusyBank(false);
  for (const std::string& path : {folder.path() + "missing.ini", folder.path()}) {
    PluginRig rig;
    rig.SetBank(busy);
    rig.plugin().Run(0);
    EXPECT_FALSE(rig.plugin().UseSettingsFile(path));
    EXPECT_EQ(rig.plugin().SettingsFile(), path);
    rig.Set("Bank", 1);
    rig.plugin().Run(0);
    EXPECT_EQ(rig.plugin().WorkingSettingText(), test::SectionText("Current", busy));
  }
}

// Two instances in one host play side by side as each plays alone. Neither obeys the
// program's error-catch switch nor runs the program's pending events, even with a setting
// whose error every block traps (a pitch far beyond the ring).
TEST(ChainPluginTest, InstancesKeepTheirOwnStateAndLeaveTheProgramsAlone) {
  const std::vector<int16_t> input = test::GuitarInput(3700);  // whole pieces of 100
  const std::string failing =
      "[Current]\nPitchShift-01=1\nPitchShift-02=-400\nGraphicEQ-01=1\nGraphicEQ-05=9\n";
  auto alone = [&](const std::string& setting) {
    PluginRig rig;
    rig.plugin().RestoreWorkingSetting(setting);
    return Samples(rig.Process(input, {100}));
  };
  const std::vector<int32_t> busyAlone = alone(test::SectionText("Current", BusyBank(true)));
  const std::vector<int32_t> failingAlone = alone(failing);

  int events = 0;
  SetPendingEventsHook([&] { ++events; });
  ErrorCatch = 1;
  PluginRig busy;
  PluginRig other;
  busy.plugin().RestoreWorkingSetting(test::SectionText("Current", BusyBank(true)));
  other.plugin().RestoreWorkingSetting(failing);
  std::vector<Frame> busyOut;
  std::vector<Frame> otherOut;
  for (size_t done = 0; done < input.size(); done += 100) {
    const std::vector<int16_t> piece(input.begin() + static_cast<ptrdiff_t>(done),
                                     input.begin() + static_cast<ptrdiff_t>(done + 100));
    for (const Frame& f : busy.Process(piece)) busyOut.push_back(f);
    for (const Frame& f : other.Process(piece)) otherOut.push_back(f);
  }
  ErrorCatch = 0;
  SetPendingEventsHook({});
  EXPECT_EQ(Samples(busyOut), busyAlone);
  EXPECT_EQ(Samples(otherOut), failingAlone);
  EXPECT_EQ(events, 0);
}

}  // namespace
}  // namespace ampora
