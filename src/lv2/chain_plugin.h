#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/stream_buffers.h"
#include "effects/effect_chain.h"
#include "lv2/plugin_ports.h"
#include "lv2/plugin_setting.h"
#include "lv2/setting_snapshot.h"

// One instance of the plugin: the program's chain, rings and block loop behind the
// ports of lv2/plugin_ports.h, without the LV2 calling conventions (lv2/lv2_plugin.cpp
// adds those), so that tests drive it directly.
//
// Blocks: the chain runs on whole blocks of the program's default length (7 ms, 309
// frames at 44100 Hz) in rings sized as the program sizes them, whatever the host's
// block length. Its results depend on that length (the pitch shifter's grain is a number
// of blocks, Echo reads its input rather than its output for delays within a block), so
// output for any host block lengths is the same, and the same as the program and the
// offline renderer make at that block length, at the price of one block of latency,
// which the latency port reports. Frame n of the output is frame n - 309 of what
// ampora-render writes.
//
// Controls: a control input that changes from one Run to the next changes its row of
// the working setting (or its level); the bank port changing to 1..12 loads that bank
// of the settings file in use. Changes reach the chain at the next block that starts,
// as edits reach the live program's next block. A restored state is what plays: the
// controls' values at the next Run are taken as they are, not as changes.
//
// Each instance keeps everything it needs: its own error-catch switch (always trapping,
// for a plugin must not end its host), no pending-events hook, and settings read into
// memory of its own, never through the program's settings store.
//
// Thread: Run and ConnectPort on the audio thread; Create, Activate, RestoreWorkingSetting
// and UseSettingsFile on the host's thread, never during Run; WorkingSettingText and
// SettingsFile on any thread, also during Run.

namespace ampora {

// The seed of the reverb's reflections in every instance, so that a host renders the
// same file twice alike; ampora-render --seed 1 draws the same reflections.
inline constexpr uint64_t kPluginReverbSeed = 1;

class ChainPlugin {
 public:
  // An instance for a host running at sampleRate; nullptr when the chain cannot run at
  // that rate.
  static std::unique_ptr<ChainPlugin> Create(double sampleRate);

  ChainPlugin(const ChainPlugin&) = delete;
  ChainPlugin& operator=(const ChainPlugin&) = delete;

  // Where a port's data lies (nullptr: not connected); indices outside the table are
  // ignored.
  void ConnectPort(uint32_t port, void* data);
  // A fresh start: silent rings, effects as new, the working setting applied at the
  // first block.
  void Activate();
  // frames of audio, any number, from the input port to the output ports (which may be
  // the same buffer); updates the latency port. Allocates nothing, locks nothing.
  void Run(uint32_t frames);

  // Frames between input and output.
  int32_t Latency() const { return blockLen_; }

  // The working setting as a "[Current]" section, and taking one back.
  std::string WorkingSettingText() const;
  void RestoreWorkingSetting(const std::string& text);

  // The settings file whose banks the bank port selects ("" for none); false when it
  // cannot be read, which leaves no bank to select (the name is kept all the same, for
  // a file that comes back).
  bool UseSettingsFile(const std::string& path);
  const std::string& SettingsFile() const { return settingsFile_; }

 private:
  explicit ChainPlugin(int32_t sampleRate);

  // Sets up rings and effects as new and marks the whole working setting for the next
  // block.
  void StartFresh();
  void ReadControls();
  // A control's value as an integer within the port's range.
  static int32_t ControlValue(const PortSpec& port, float value);
  // True when the value changed the working setting.
  bool TakeControl(const PortSpec& port, int32_t value);
  void TakeSetting(const ChainSetting& setting);
  void ApplyPending();

  const std::vector<PortSpec>& ports_;
  int32_t sampleRate_;
  std::atomic<int> errorCatch_{0};
  StreamBuffers stream_;
  std::unique_ptr<EffectChain> chain_;
  int32_t blockLen_ = 0;
  int32_t blockCount_ = 0;
  int32_t block_ = 0;  // the block of the rings being filled
  int32_t fill_ = 0;   // frames of it filled

  const float* input_ = nullptr;
  float* outLeft_ = nullptr;
  float* outRight_ = nullptr;
  float* latency_ = nullptr;
  std::vector<const float*> controls_;  // the control inputs, by port index
  std::vector<float> lastSeen_;         // their values at the last Run
  bool adoptControls_ = false;

  ChainSetting wanted_;  // the working setting, ahead of the chain until the next block
  std::bitset<kEffectCount> pending_;
  std::bitset<kEffectCount> resync_;
  bool levelsPending_ = false;
  SettingSnapshot published_;

  std::string settingsFile_;
  std::optional<SettingsFileBanks> banks_;
};

}  // namespace ampora
