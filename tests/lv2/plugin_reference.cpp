#include "plugin_reference.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/devices/sample_conversion.h"
#include "effects/effect_catalogue.h"
#include "lv2/chain_plugin.h"
#include "lv2/plugin_ports.h"
#include "render/offline_render.h"
#include "support/signals.h"
#include "support/temp_folder.h"
#include "support/wav_files.h"

namespace ampora::test {

namespace {

constexpr int32_t kLatency = 309;

void Set(TestBank& bank, EffectIndex effect, std::vector<int32_t> params) {
  bank.fx[FxIndex(effect, 0)] = kEffectOn;
  for (size_t p = 0; p < params.size(); ++p) {
    bank.fx[FxIndex(effect, static_cast<int>(p) + 1)] = params[p];
  }
}

}  // namespace

TestBank BusyBank(bool withReverb) {
  TestBank bank;
  ResetEffectParams(bank.fx);
  Set(bank, kPitchShift, {5, 20, 80, 60});
  Set(bank, kCompressor, {40, 150, 120, 100, 110});
  Set(bank, kOverDrive, {35, 70, 60});
  Set(bank, kGraphicEq, {0, 3, 0, 0, -4, 0, 0, 6, 0, 0, 0, -2, 0, 0, 0, 90});
  Set(bank, kTremolo, {9, 40});
  Set(bank, kChorus, {30, 40, 70});
  Set(bank, kEcho, {3, 40});  // 132 frames: within one block
  Set(bank, kDelay, {45, 70, 40, 90});
  if (withReverb) Set(bank, kReverb, {40, 60, 30, 70, 40, 60});
  bank.levels = {{3, 3}, {-2, 1}};
  return bank;
}

uint32_t PortOf(const std::string& symbol) {
  const std::vector<PortSpec>& ports = PluginPorts();
  for (uint32_t p = 0; p < ports.size(); ++p) {
    if (ports[p].symbol == symbol) return p;
  }
  ADD_FAILURE() << "no port " << symbol;
  return 0;
}

void SetControls(const TestBank& bank, std::vector<float>& controls) {
  const std::vector<PortSpec>& ports = PluginPorts();
  for (uint32_t p = kFirstEffectPort; p < ports.size(); ++p) {
    controls[p] = static_cast<float>(bank.fx[FxIndex(ports[p].effect, ports[p].row)]);
  }
  controls[kLevelInPort] = static_cast<float>(bank.levels.LevelIn[0]);
  controls[kLevelOutLeftPort] = static_cast<float>(bank.levels.LevelOut[0]);
  controls[kLevelOutRightPort] = static_cast<float>(bank.levels.LevelOut[1]);
}

std::vector<Frame> ProcessInBlocks(const std::vector<int16_t>& input,
                                   const std::vector<uint32_t>& blocks, float* in,
                                   const float* left, const float* right,
                                   const std::function<void(uint32_t)>& run) {
  std::vector<Frame> output;
  size_t done = 0;
  for (size_t b = 0; done < input.size(); ++b) {
    const auto count =
        static_cast<uint32_t>(std::min<size_t>(blocks[b % blocks.size()], input.size() - done));
    for (uint32_t j = 0; j < count; ++j) in[j] = SampleToFloat(input[done + j]);
    run(count);
    for (uint32_t j = 0; j < count; ++j) {
      output.push_back(Frame{FloatToSample(left[j]), FloatToSample(right[j])});
    }
    done += count;
  }
  return output;
}

std::string SectionText(const std::string& section, const TestBank& bank) {
  std::string text = "[" + section + "]\n";
  text += "LevelInL=" + std::to_string(bank.levels.LevelIn[0]) + "\n";
  text += "LevelInR=" + std::to_string(bank.levels.LevelIn[1]) + "\n";
  text += "LevelOutL=" + std::to_string(bank.levels.LevelOut[0]) + "\n";
  text += "LevelOutR=" + std::to_string(bank.levels.LevelOut[1]) + "\n";
  for (int e = 0; e < kEffectCount; ++e) {
    for (int row = 0; row < kParamRows; ++row) {
      const int32_t value = bank.fx[FxIndex(e, row)];
      if (value != kNoParam) text += ParamKey(e, row) + "=" + std::to_string(value) + "\n";
    }
  }
  return text;
}

std::vector<int16_t> GuitarInput(int32_t frames) {
  const std::vector<int16_t> pluck = Pluck(110.0, 12000.0, frames);
  const std::vector<int16_t> noise = Noise(400, frames, 5);
  std::vector<int16_t> input(pluck.size());
  for (size_t i = 0; i < input.size(); ++i) {
    input[i] = static_cast<int16_t>(std::clamp(pluck[i] + noise[i], -32768, 32767));
  }
  return input;
}

std::vector<Frame> RenderedReference(const std::string& iniText, const std::string& section,
                                     const std::vector<int16_t>& input, int32_t sampleRate) {
  TempFolder folder;
  RenderOptions options;
  options.input = folder.path() + "in.wav";
  options.output = folder.path() + "out.wav";
  options.iniFile = folder.path() + "bank.ini";
  options.section = section;
  options.seed = kPluginReverbSeed;
  options.sampleRate = sampleRate;
  WriteFileText(options.iniFile, iniText);
  WriteWav(options.input, StereoFrames(input, std::vector<int16_t>(input.size(), 0)), sampleRate,
           1);
  RenderFile(options);
  return ReadWav(options.output, sampleRate);
}

std::vector<int32_t> Samples(const std::vector<Frame>& frames) {
  std::vector<int32_t> samples;
  for (const Frame& frame : frames) {
    samples.push_back(frame.left);
    samples.push_back(frame.right);
  }
  return samples;
}

void ExpectOneBlockLater(const std::vector<Frame>& output, const std::vector<Frame>& reference,
                         int32_t blockLen) {
  const auto latency = static_cast<size_t>(blockLen);
  ASSERT_GE(reference.size(), output.size());
  ASSERT_GT(output.size(), latency);
  for (size_t n = 0; n < output.size(); ++n) {
    const Frame expected = n < latency ? Frame{} : reference[n - latency];
    ASSERT_TRUE(output[n].left == expected.left && output[n].right == expected.right)
        << "frame " << n << ": " << output[n].left << "," << output[n].right << " instead of "
        << expected.left << "," << expected.right;
  }
}

}  // namespace ampora::test
