#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "audio/devices/sample_conversion.h"
#include "lv2/plugin_ports.h"
#include "lv2/plugin_uris.h"
#include "plugin_reference.h"
#include "support/temp_folder.h"
#include "support/wav_files.h"

// Debian's lv2apply, a host nobody here wrote, renders a file through the plugin that
// LV2_PATH finds, and ampora-render (AMPORA_RENDER) renders it through the same bank: the
// two agree bit for bit once ampora-render's output has gone through lv2apply's 16-bit
// conversion. The test command runs this on the build tree, the install test on the
// installed files.

namespace ampora {
namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int ExitStatus(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The start of a command that runs a host program. Sanitizer builds name the runtimes
// the plugin needs in AMPORA_HOST_PRELOAD; leaks of the host program itself are not ours
// to find.
std::string HostCommand() {
  const char* preload = std::getenv("AMPORA_HOST_PRELOAD");
  if (preload == nullptr || *preload == '\0') return "";
  return "env LD_PRELOAD=" + Quoted(preload) + " ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ";
}

// The frames as a host that writes the plugin's float samples into a 16-bit file has
// them: each sample as the plugin outputs it (sample / 32768), through libsndfile's
// conversion, as lv2apply does.
std::vector<Frame> ThroughFloatFile(const std::vector<Frame>& frames, const std::string& path) {
  std::vector<float> samples;
  for (const Frame& frame : frames) {
    samples.push_back(SampleToFloat(frame.left));
    samples.push_back(SampleToFloat(frame.right));
  }
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
  if (file == nullptr) return {};
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames.size()));
  sf_close(file);
  return test::ReadWav(path);
}

// "-c SYMBOL VALUE" for every control the bank sets away from its default.
std::string ControlArguments(const test::TestBank& bank) {
  std::string arguments;
  const std::vector<PortSpec>& ports = PluginPorts();
  auto add = [&](uint32_t port, int32_t value) {
    if (value != ports[port].defaultValue) {
      arguments += " -c " + ports[port].symbol + " " + std::to_string(value);
    }
  };
  add(kLevelInPort, bank.levels.LevelIn[0]);
  add(kLevelOutLeftPort, bank.levels.LevelOut[0]);
  add(kLevelOutRightPort, bank.levels.LevelOut[1]);
  for (uint32_t p = kFirstEffectPort; p < ports.size(); ++p) {
    add(p, bank.fx[FxIndex(ports[p].effect, ports[p].row)]);
  }
  return arguments;
}

TEST(Lv2applyTest, RendersBitForBitAsAmporaRenderOneBlockLater) {
  const char* render = std::getenv("AMPORA_RENDER");
  ASSERT_NE(render, nullptr) << "AMPORA_RENDER names no ampora-render";
  ASSERT_NE(std::getenv("LV2_PATH"), nullptr);
  test::TempFolder folder;
  const std::string in = folder.path() + "in.wav";
  const std::string ini = folder.path() + "bank.ini";
  const std::string reference = folder.path() + "reference.wav";
  const std::string out = folder.path() + "out.wav";
  const test::TestBank bank = test::BusyBank(true);
  const std::vector<int16_t> input = test::GuitarInput(2 * 44100);
  test::WriteWav(in, test::StereoFrames(input, std::vector<int16_t>(input.size(), 0)), 44100, 1);
  test::WriteFileText(ini, test::SectionText("Current", bank));

  ASSERT_EQ(ExitStatus(Quoted(render) + " --ini " + Quoted(ini) + " --seed 1 " + Quoted(in) + " " +
                       Quoted(reference) + " 2>/dev/null"),
            0);
  ASSERT_EQ(ExitStatus(HostCommand() + "lv2apply -i " + Quoted(in) + " -o " + Quoted(out) +
                       ControlArguments(bank) + " " + kPluginUri),
            0);

  const std::vector<Frame> played = test::ReadWav(out);
  ASSERT_EQ(played.size(), input.size());
  test::ExpectOneBlockLater(
      played, ThroughFloatFile(test::ReadWav(reference), folder.path() + "converted.wav"));
}

}  // namespace
}  // namespace ampora
