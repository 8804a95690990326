#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "effects/db_to_gain.h"
#include "effects/effect_catalogue.h"
#include "live/live_rig.h"
#include "util/error_trap.h"

namespace ampora::test {
namespace {

class StartUpTest : public LiveTest {};

TEST_F(StartUpTest, AFirstRunLeavesEveryMainSettingInTheFile) {
  StartWith("");
  EXPECT_TRUE(Live().ShutDown());
  // Read in this order at start-up (absent keys are written back); the devices of id 0,
  // which an empty name selects, are kept by their names.
  EXPECT_NE(IniText().find("[conf]\nLogError=0\nErrorCatch=0\nAltFont=1\nBufferMS=7\n"
                           "DelayMinMS=20\nDelayMaxMS=70\nDeviceIn=demo guitar\nDeviceOut=null\n"
                           "MidiInDeviceName=keys A\nMidiCh=0\nUseMIDIF=0\n"),
            std::string::npos)
      << IniText();
  EXPECT_EQ(Stored("Current", "LevelOutR"), "0");
  EXPECT_EQ(Stored("Current", "Reverb-07"), "50");
}

TEST_F(StartUpTest, DevicesTimingAndMidiAreTakenFromTheSettings) {
  StartWith(
      "[conf]\nBufferMS=10\nDelayMinMS=abc\nDeviceIn= Test Tone \nDeviceOut=gone\n"
      "MidiInDeviceName=KEYS B\nMidiCh=3\nUseMIDIF=1\nAltFont=0\n");
  EXPECT_EQ(Live().WaveInChoice().IdToOpen(), 1);
  EXPECT_EQ(Live().WaveOutChoice().IdToOpen(), -1) << "missing: the default device";
  EXPECT_EQ(Engine().Layout().BlockLen, 441) << "the stream is initialised";
  EXPECT_EQ(Engine().StreamRunning(), 0) << "but not opened";
  EXPECT_EQ(Engine().DelayMinMS, 20.0f) << "a value that is no number reads as the default";
  EXPECT_EQ(Live().MidiInChoice().IdToOpen(), 1);
  EXPECT_EQ(Live().MidiCh, 3);
  EXPECT_EQ(Live().UseMIDIF, 1);
  EXPECT_EQ(Live().StartSettings().AltFont, 0);

  Live().ShutDown();
  // Each name as the user chose it, also of a device missing in this run: found again
  // once it is back.
  EXPECT_EQ(Stored("conf", "DeviceIn"), "Test Tone");
  EXPECT_EQ(Stored("conf", "DeviceOut"), "gone");
  EXPECT_EQ(Stored("conf", "MidiInDeviceName"), "KEYS B");
  EXPECT_EQ(Stored("conf", "DelayMinMS"), "20");
  EXPECT_EQ(Stored("conf", "BufferMS"), "10");
}

// The configuration dialog shows a channel it has no item for as "all": so it acts, from
// start-up on, and is kept so.
TEST_F(StartUpTest, AStoredChannelOutsideTheListIsEveryChannel) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"15", 15}, {"-1", -1}, {"16", -1}, {"-2", -1}, {"99999", -1}};
  for (const auto& [stored, channel] : cases) {
    StartWith("[conf]\nMidiCh=" + stored + "\n");
    EXPECT_EQ(Live().MidiCh, channel) << stored;
    Live().ShutDown();
    EXPECT_EQ(Stored("conf", "MidiCh"), std::to_string(channel)) << stored;
  }
}

TEST_F(StartUpTest, CurrentIsLoadedAtStartUpAndSavedOnceAtShutDown) {
  StartWith("[Current]\nLevelInL=-3\nLevelInR=-3\nLevelOutL=2\nLevelOutR=6\nEcho-01=1\n");
  EXPECT_TRUE(view.EffectOn(kEcho));
  EXPECT_EQ(Engine().Buffers().InGain[0], DbToGain(-3));
  EXPECT_EQ(view.Status(), "OUT : L=+02db R=+06db");
  EXPECT_EQ(view.TextNum(), "") << "loading Current selects no bank";
  EXPECT_EQ(view.TextBank(), "");
  EXPECT_EQ(Engine().BypassOn + Engine().TunerOn, 0);

  Live().EffectClicked(kEcho, kMouseLeft);
  Live().EffectClicked(kFuzz, kMouseLeft);
  view.Fader(kInFader).SetValueL(9);
  Live().LevelChanged(kInFader);
  EXPECT_EQ(view.Status(), "IN : +09db");
  int placements = 0;
  EXPECT_TRUE(Live().ShutDown([&] { ++placements; }));
  EXPECT_FALSE(Live().ShutDown([&] { ++placements; }));
  EXPECT_EQ(placements, 1);
  EXPECT_EQ(Stored("Current", "Echo-01"), "0");
  EXPECT_EQ(Stored("Current", "Fuzz-01"), "1");
  EXPECT_EQ(Stored("Current", "LevelInR"), "9");
  EXPECT_EQ(Stored("Current", "LevelOutR"), "6");
  EXPECT_EQ(Stored("Current", "BankName"), "") << "the working setting has no name";
}

// A value typed by hand that is no number loses only itself: shut-down writes back
// everything else as it was read.
TEST_F(StartUpTest, AnUnreadableValueInCurrentCostsNothingElseAtShutDown) {
  StartWith(
      "[Current]\nLevelInL=loud\nLevelInR=-3\nLevelOutL=2\nLevelOutR=6\nEcho-01=1\n"
      "Echo-02=x\nEcho-03=123\nReverb-01=1\nReverb-07=40\n");
  EXPECT_TRUE(view.EffectOn(kEcho));
  EXPECT_TRUE(view.EffectOn(kReverb));
  EXPECT_EQ(view.Status(), "OUT : L=+02db R=+06db");
  EXPECT_TRUE(Live().ShutDown());
  const std::vector<std::pair<const char*, const char*>> kept = {
      {"LevelInL", "-3"},  // the input fader is linked: its right value sets both
      {"LevelOutL", "2"}, {"LevelOutR", "6"}, {"Echo-01", "1"},
      {"Echo-03", "123"}, {"Reverb-01", "1"}, {"Reverb-07", "40"},
  };
  for (const auto& [key, value] : kept) EXPECT_EQ(Stored("Current", key), value) << key;
  FxParamTable defaults;
  ResetEffectParams(defaults);
  EXPECT_EQ(Stored("Current", "Echo-02"), std::to_string(defaults[FxIndex(kEcho, 1)]));
}

// The files of the built-in devices are found beside the settings file, wherever the
// program was started from, and the program stays in the folder it was started in.
TEST_F(StartUpTest, RelativeDeviceFilesCountFromTheSettingsFilesFolder) {
  const std::string startedIn = std::filesystem::current_path();
  WriteFileText(IniPath(), "[conf]\nWavInFile=riff.wav\nWavOutFile=takes/out.wav\n");
  DeviceConfig config = ReadLiveSetup().devices;
  EXPECT_EQ(config.wavInputPath, AppDir() + "riff.wav");
  EXPECT_EQ(config.wavRecorderPath, AppDir() + "takes/out.wav");

  WriteFileText(IniPath(), "[conf]\nWavInFile=/srv/riff.wav\nWavOutFile=\n");
  config = ReadLiveSetup().devices;
  EXPECT_EQ(config.wavInputPath, "/srv/riff.wav");
  EXPECT_EQ(config.wavRecorderPath, "");
  EXPECT_EQ(std::filesystem::current_path(), startedIn);
}

// A device clock whose devices fail while they stop.
class FailingHaltClock final : public DeviceClock {
 public:
  void Run(ClockedDevice& device, int32_t sampleRate) override { inner.Run(device, sampleRate); }
  void Halt(ClockedDevice& device) override {
    inner.Halt(device);
    if (fail) RaiseRuntimeError(ErrorKind::kFailedCheck, "the device does not close");
  }
  ManualClock inner;
  bool fail = false;
};

// The clock outlives the live path, which the fixture ends in TearDown.
class FailingCloseTest : public LiveTest {
 protected:
  FailingHaltClock failing;
};

TEST_F(FailingCloseTest, ShutDownSavesCurrentEvenWhenClosingTheStreamFails) {
  StartWith("", &failing);
  Live().ButtonClicked(kStartButton);
  Live().EffectClicked(kFlanger, kMouseLeft);
  failing.fail = true;
  ErrorCatch = 1;
  EXPECT_THROW(Live().ShutDown(), RuntimeError);
  EXPECT_EQ(Stored("Current", "Flanger-01"), "1");
  EXPECT_FALSE(Live().ShutDown()) << "not run twice, also after an error";
  failing.fail = false;
}

TEST_F(StartUpTest, ErrorCatchComesFromTheSettingOrTheFileBesideTheProgram) {
  StartWith("[conf]\nErrorCatch=2\n");
  EXPECT_EQ(ErrorCatch, 2);
  StartWith("");
  EXPECT_EQ(ErrorCatch, 0);
  WriteFileText(AppDir() + "ec.txt", "");
  StartWith("");
  EXPECT_EQ(ErrorCatch, 1);
  EXPECT_EQ(Stored("conf", "ErrorCatch"), "0") << "the file switches it on for the run only";
}

struct CommandLineCase {
  const char* arguments;
  int32_t running;
  const char* textNum;
};

TEST_F(StartUpTest, CommandLineSwitchesStartTheStreamAndSelectABank) {
  for (const CommandLineCase& c : {CommandLineCase{"F05", 1, "05"}, CommandLineCase{"F13", 1, ""},
                                   CommandLineCase{"f05", 0, ""}, CommandLineCase{"S", 1, ""}}) {
    SCOPED_TRACE(c.arguments);
    StartWith("");
    Live().ObeyCommandLine(c.arguments);
    EXPECT_EQ(Engine().StreamRunning(), c.running);
    EXPECT_EQ(view.TextNum(), c.textNum);
    view.SetTextNum("");
  }
}

}  // namespace
}  // namespace ampora::test
