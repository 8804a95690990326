#include "render/offline_render.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "effects/db_to_gain.h"
#include "render/render_error.h"
#include "support/signals.h"
#include "support/temp_folder.h"
#include "support/wav_files.h"
#include "util/rounding.h"

namespace ampora {
namespace {

// A bank with every effect off: the output is the input through the two gains only.
constexpr const char* kGainsOnlyBank =
    "[Current]\nLevelInL=4\nLevelInR=4\nLevelOutL=-3\nLevelOutR=7\n";

class OfflineRenderTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder.path() + name; }

  // A settings file with the given text; the options read it.
  void UseIni(const std::string& text) { test::WriteFileText(options.iniFile, text); }

  void WriteInput(const std::vector<int16_t>& left, int rate = 44100) {
    test::WriteWav(options.input, test::StereoFrames(left, std::vector<int16_t>(left.size(), 0)),
                   rate, 1);
  }

  std::vector<Frame> Render() {
    RenderFile(options);
    return test::ReadWav(options.output, options.sampleRate);
  }

  // The message of the RenderError that the render raises ("" when it succeeds).
  std::string RenderFailure() {
    try {
      RenderFile(options);
    } catch (const RenderError& error) {
      return error.what();
    }
    return "";
  }

  // Names in the folder, so that no temporary file is left behind.
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempFolder folder;
  RenderOptions options = [this] {
    RenderOptions o;
    o.input = Path("in.wav");
    o.output = Path("out.wav");
    o.iniFile = Path("a.ini");
    return o;
  }();
};

// Every frame i of the output is frame i of the input through the gains: no latency, at
// every block length, across the last partial block and the ring's wrap.
TEST_F(OfflineRenderTest, GainsOnlyBankGivesTheInputFrameForFrame) {
  UseIni(kGainsOnlyBank);
  const std::vector<int16_t> input = test::Noise(32767, 3 * 44100 + 1000);
  WriteInput(input);
  const double in = DbToGain(4.0f);
  const double outLeft = DbToGain(-3.0f);
  const double outRight = DbToGain(7.0f);
  for (const float blockMs : {1.0f, 7.0f, 30.0f}) {
    options.blockMs = blockMs;
    const std::vector<Frame> out = Render();
    ASSERT_EQ(out.size(), input.size());
    int32_t mismatch = -1;
    for (size_t i = 0; i < input.size() && mismatch < 0; ++i) {
      const int16_t staged = ClipRound(input[i] * in);
      if (out[i].left != ClipRound(staged * outLeft) ||
          out[i].right != ClipRound(staged * outRight)) {
        mismatch = static_cast<int32_t>(i);
      }
    }
    EXPECT_EQ(mismatch, -1) << "block " << blockMs << " ms";
  }
}

// The faders take levels only inside -50..50 dB; the input fader is linked, so its
// right value (written last) sets the input gain.
TEST_F(OfflineRenderTest, LevelsAreTakenAsTheFadersTakeThem) {
  UseIni("[Current]\nLevelInL=30\nLevelInR=-80\nLevelOutL=90\nLevelOutR=-7\n");
  WriteInput({20000, -20000, 100, 3});
  const double in = DbToGain(-50.0f);
  const std::vector<Frame> out = Render();
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].left, ClipRound(ClipRound(20000 * in) * double{DbToGain(50.0f)}));
  EXPECT_EQ(out[1].right, ClipRound(ClipRound(-20000 * in) * double{DbToGain(-7.0f)}));
}

TEST_F(OfflineRenderTest, OutputLengthIsInputPlusTail) {
  UseIni(kGainsOnlyBank);
  options.blockMs = 7.0f;  // 309 frames
  struct Case {
    int32_t inputFrames;
    double tail;
    size_t expected;
  };
  for (const Case& c : {Case{0, 0.0, 0}, Case{1, 0.0, 1}, Case{308, 0.0, 308}, Case{309, 0.0, 309},
                        Case{310, 0.0, 310}, Case{1000, 0.5, 1000 + 22050},
                        Case{0, 0.00001, 0} /* 0.441 frames */, Case{5, 0.0001, 5 + 4}}) {
    WriteInput(std::vector<int16_t>(static_cast<size_t>(c.inputFrames), 1000));
    options.tailSeconds = c.tail;
    const std::vector<Frame> out = Render();
    EXPECT_EQ(out.size(), c.expected) << c.inputFrames << " frames, tail " << c.tail;
    // The tail is silence through a bank without effects.
    for (size_t i = static_cast<size_t>(c.inputFrames); i < out.size(); ++i) {
      ASSERT_EQ(out[i].left, 0) << i;
    }
  }
}

// A render reads the bank and writes back nothing: missing keys, which a load in the
// program adds to the file, stay missing.
TEST_F(OfflineRenderTest, TheSettingsFileIsNeverWritten) {
  const std::string ini = "[conf]\nBufferMS=10\n[Current]\nEcho-01=1\nReverb-01=1\n[Bank03]\n";
  UseIni(ini);
  const struct stat before = [&] {
    struct stat info {};
    stat(options.iniFile.c_str(), &info);
    return info;
  }();
  WriteInput(test::Pluck(110.0, 12000.0, 4000));
  options.seed = 1;
  Render();
  options.section = "Bank03";
  Render();
  EXPECT_EQ(test::ReadFileText(options.iniFile), ini);
  struct stat after {};
  stat(options.iniFile.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not replaced either
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"a.ini", "in.wav", "out.wav"}));
}

TEST_F(OfflineRenderTest, BlockLengthFollowsTheSettingsFileAndTheEngineLimits) {
  WriteInput(std::vector<int16_t>(10, 0));
  struct Case {
    std::string conf;
    std::optional<float> blockMs;
    int32_t blockLen;
  };
  for (const Case& c :
       {Case{"", {}, 309}, Case{"BufferMS=10\n", {}, 441}, Case{"BufferMS= 2.5 \n", {}, 110},
        Case{"BufferMS=100\n", {}, 1323}, Case{"BufferMS=fast\n", {}, 309},
        Case{"BufferMS=nan\n", {}, 309}, Case{"BufferMS=+10\n", {}, 441},
        Case{"BufferMS=10\n", 20.0f, 882}, Case{"", 0.01f, 44}, Case{"", -5.0f, 44}}) {
    UseIni("[conf]\n" + c.conf + "[Current]\n");
    options.blockMs = c.blockMs;
    EXPECT_EQ(RenderFile(options).blockLen, c.blockLen) << c.conf;
  }
}

// With a seed the reverb's reflections, and so the whole render, repeat exactly.
TEST_F(OfflineRenderTest, ASeedMakesTheReverbReproducible) {
  UseIni("[Current]\nReverb-01=1\nReverb-06=100\n");
  WriteInput(test::Pluck(220.0, 15000.0, 8000));
  options.tailSeconds = 0.2;
  options.seed = 42;
  const std::vector<Frame> first = Render();
  const std::vector<Frame> again = Render();
  options.seed = 43;
  const std::vector<Frame> other = Render();
  ASSERT_EQ(first.size(), 8000u + 8820u);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), again.begin(),
                         [](Frame a, Frame b) { return a.left == b.left && a.right == b.right; }));
  EXPECT_FALSE(std::equal(first.begin(), first.end(), other.begin(),
                          [](Frame a, Frame b) { return a.left == b.left; }));
}

TEST_F(OfflineRenderTest, ABankIsChosenByNumber) {
  UseIni("[Current]\n[Bank03]\nLevelOutL=-50\nLevelOutR=-50\n");
  WriteInput({30000});
  options.section = "Bank03";
  EXPECT_EQ(Render()[0].left, ClipRound(30000 * double{DbToGain(-50.0f)}));
}

// Another rate is converted to 44100 frames/s: the length is the input's duration, and
// a sine keeps its level and phase (nothing is delayed). Only the left channel is used.
TEST_F(OfflineRenderTest, OtherRatesAreConvertedWithoutDelay) {
  UseIni("[Current]\n");  // unity gains
  constexpr int32_t kFrames48k = 48000;
  constexpr double kHz = 1000.0;
  std::vector<Frame> stereo(kFrames48k);
  for (int32_t n = 0; n < kFrames48k; ++n) {
    const double s = 16000.0 * std::sin(2.0 * std::numbers::pi * kHz * n / 48000.0);
    stereo[n] = Frame{static_cast<int16_t>(std::lrint(s)), 30000};
  }
  test::WriteWav(options.input, stereo, 48000, 2);
  const std::vector<Frame> out = Render();
  ASSERT_EQ(out.size(), 44100u);
  const std::vector<int16_t> expected = test::Sine(kHz, 16000.0, 44100);
  int worst = 0;
  for (size_t i = 200; i + 200 < out.size(); ++i) {
    worst = std::max(worst, std::abs(out[i].left - expected[i]));
  }
  EXPECT_LT(worst, 16);  // within 0.1 % of the amplitude
}

// At another rate the chain runs at it and the file has it, and the bank keeps its times:
// an echo of 100 ms is 100 ms late at every rate. An input at the render's rate arrives
// sample for sample.
TEST_F(OfflineRenderTest, TheChainRunsAtTheRenderRateAndKeepsTheBanksTimes) {
  UseIni("[Current]\nEcho-01=1\nEcho-02=100\nEcho-03=50\n");
  for (const int32_t rate : {22050, 44100, 48000, 96000, 192000}) {
    options.sampleRate = rate;
    std::vector<int16_t> impulse(static_cast<size_t>(rate / 2), 0);
    impulse[1000] = 20000;
    WriteInput(impulse, rate);
    const std::vector<Frame> out = Render();
    ASSERT_EQ(out.size(), impulse.size()) << rate;
    const auto echo = static_cast<size_t>(1000 + rate / 1000 * 100);
    EXPECT_EQ(out[1000].left, 20000) << rate;
    EXPECT_EQ(out[echo].left, 10000) << rate;
    EXPECT_EQ(out[echo].right, 10000) << rate;
    EXPECT_EQ(out[echo - 1].left, 0) << rate;
  }
}

// A file at 44100 rendered at 48000 keeps its duration.
TEST_F(OfflineRenderTest, TheInputIsConvertedToTheRenderRate) {
  UseIni("[Current]\n");
  options.sampleRate = 48000;
  WriteInput(test::Sine(1000.0, 16000.0, 44100));
  const std::vector<Frame> out = Render();
  ASSERT_EQ(out.size(), 48000u);
  // 1000 Hz at 48000 frames/s.
  const std::vector<int16_t> expected = test::Sine(1000.0 * 44100 / 48000, 16000.0, 48000);
  int worst = 0;
  for (size_t i = 200; i + 200 < out.size(); ++i) {
    worst = std::max(worst, std::abs(out[i].left - expected[i]));
  }
  EXPECT_LT(worst, 16);
}

TEST_F(OfflineRenderTest, FailuresAreClearAndLeaveNoOutput) {
  UseIni(kGainsOnlyBank);
  WriteInput(std::vector<int16_t>(1000, 5));
  test::WriteFileText(Path("notes.txt"), "not a sound");
  test::WriteFileText(Path("old.wav"), "an earlier render");
  std::filesystem::create_directory(Path("folder"));
  symlink("in.wav", Path("link.wav").c_str());
  const RenderOptions good = options;
  struct Case {
    std::string label;
    std::function<void(RenderOptions&)> change;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"missing input", [&](RenderOptions& o) { o.input = Path("none.wav"); }, "cannot read"},
      {"text as input", [&](RenderOptions& o) { o.input = Path("notes.txt"); }, "cannot read"},
      {"output in a missing folder", [&](RenderOptions& o) { o.output = Path("no/out.wav"); },
       "cannot write"},
      {"output is a folder", [&](RenderOptions& o) { o.output = Path("folder"); }, "cannot write"},
      {"output is the input", [&](RenderOptions& o) { o.output = o.input; }, "is the input"},
      {"output links to the input", [&](RenderOptions& o) { o.output = Path("link.wav"); },
       "is the input"},
      {"input by another path",
       [&](RenderOptions& o) { o.output = folder.path() + "folder/../in.wav"; }, "is the input"},
      {"output is the settings file", [&](RenderOptions& o) { o.output = o.iniFile; },
       "is the settings file"},
      {"unknown section",
       [&](RenderOptions& o) {
         o.section = "Bank07";
         o.output = Path("old.wav");
       },
       "no section [Bank07]"},
      {"missing settings file", [&](RenderOptions& o) { o.iniFile = Path("none.ini"); },
       "not found"},
      {"a folder as settings file", [&](RenderOptions& o) { o.iniFile = Path("folder"); },
       "not found"},
  };
  const std::vector<std::string> names = FolderNames();
  const std::string inputBytes = test::ReadFileText(options.input);
  for (const Case& c : cases) {
    options = good;
    c.change(options);
    EXPECT_NE(RenderFailure().find(c.message), std::string::npos) << c.label;
    EXPECT_EQ(FolderNames(), names) << c.label;
  }
  EXPECT_EQ(test::ReadFileText(Path("old.wav")), "an earlier render");
  EXPECT_EQ(test::ReadFileText(options.input), inputBytes);
  EXPECT_EQ(test::ReadFileText(good.iniFile), kGainsOnlyBank);
}

// A render stopped on the way (Ctrl-C) leaves neither the output nor a temporary file.
TEST_F(OfflineRenderTest, AnInterruptedRenderLeavesNothing) {
  UseIni(kGainsOnlyBank);
  WriteInput(std::vector<int16_t>(44100, 5));
  const std::vector<std::string> names = FolderNames();
  int64_t seen = 0;
  EXPECT_THROW(RenderFile(options,
                          [&](int64_t done, int64_t total) {
                            seen = done;
                            EXPECT_EQ(total, 44100);
                            return done < 10000;
                          }),
               RenderError);
  EXPECT_GE(seen, 10000);
  EXPECT_EQ(FolderNames(), names);
}

}  // namespace
}  // namespace ampora
