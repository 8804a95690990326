#include "lv2/chain_plugin.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/block_layout.h"
#include "audio/devices/sample_conversion.h"
#include "audio/stream_format.h"
#include "effects/db_to_gain.h"
#include "effects/effect_units.h"
#include "effects/random_source.h"
#include "effects/reverb.h"

namespace ampora {

namespace {

std::array<float, 2> Gains(const std::array<int32_t, 2>& levels) {
  return {DbToGain(static_cast<float>(levels[0])), DbToGain(static_cast<float>(levels[1]))};
}

}  // namespace

std::unique_ptr<ChainPlugin> ChainPlugin::Create(double sampleRate) {
  // The chain works at whole rates the program can stream at; a host at any other rate
  // is refused rather than played at the wrong speed and pitch.
  if (sampleRate != std::floor(sampleRate) ||
      !IsSupportedSampleRate(static_cast<int64_t>(sampleRate))) {
    return nullptr;
  }
  return std::unique_ptr<ChainPlugin>(new ChainPlugin(static_cast<int32_t>(sampleRate)));
}

ChainPlugin::ChainPlugin(int32_t sampleRate)
    : ports_(PluginPorts()),
      sampleRate_(sampleRate),
      controls_(ports_.size(), nullptr),
      lastSeen_(ports_.size(), std::numeric_limits<float>::quiet_NaN()),
      wanted_(DefaultSetting()) {
  const BlockLayout layout = ComputeBlockLayout(kBufferMsDefault, kDelayMinMsDefault,
                                                kDelayMaxMsDefault, false, sampleRate_);
  blockLen_ = layout.BlockLen;
  blockCount_ = layout.BlockCount;
  StartFresh();
}

void ChainPlugin::ConnectPort(uint32_t port, void* data) {
  if (port >= ports_.size()) return;
  switch (ports_[port].role) {
    case PortRole::kAudioIn:
      input_ = static_cast<const float*>(data);
      break;
    case PortRole::kAudioOutLeft:
      outLeft_ = static_cast<float*>(data);
      break;
    case PortRole::kAudioOutRight:
      outRight_ = static_cast<float*>(data);
      break;
    case PortRole::kLatency:
      latency_ = static_cast<float*>(data);
      break;
    default:
      controls_[port] = static_cast<const float*>(data);
      break;
  }
}

void ChainPlugin::Activate() {
  StartFresh();
}

void ChainPlugin::StartFresh() {
  AllocateRings(stream_, blockLen_, blockCount_);
  chain_ = std::make_unique<EffectChain>(stream_, BuiltEffectUnits(),
                                         ChainEnvironment{&errorCatch_, nullptr});
  chain_->SetSampleRate(sampleRate_);
  chain_->InitEffectTables();
  chain_->FindUnit<Reverb>(kReverb)->UseRandomSource(
      std::make_unique<TwisterRandom>(kPluginReverbSeed));
  // Sizes the pitch shifter's buffers for these rings now, so that no setting the host
  // sends later allocates. Applying it again at the first block changes nothing.
  chain_->ApplyEffectParams(kPitchShift);
  block_ = 0;
  fill_ = 0;
  TakeSetting(wanted_);
}

void ChainPlugin::Run(uint32_t frames) {
  if (latency_ != nullptr) *latency_ = static_cast<float>(blockLen_);
  ReadControls();
  if (input_ == nullptr || outLeft_ == nullptr || outRight_ == nullptr) return;
  uint32_t done = 0;
  while (done < frames) {
    if (fill_ == 0) ApplyPending();
    const int32_t start = block_ * blockLen_;
    // Output lags the input by one block: what plays now is the block before.
    const int32_t played = (block_ == 0 ? blockCount_ - 1 : block_ - 1) * blockLen_;
    const auto count = static_cast<int32_t>(
        std::min<uint32_t>(frames - done, static_cast<uint32_t>(blockLen_ - fill_)));
    // All input first: the host may hand one buffer as input and output.
    Frame* capture = &stream_.CaptureRing[start + fill_];
    for (int32_t j = 0; j < count; ++j) capture[j] = Frame{FloatToSample(input_[done + j]), 0};
    const Frame* play = &stream_.PlayRing[played + fill_];
    for (int32_t j = 0; j < count; ++j) {
      outLeft_[done + j] = SampleToFloat(play[j].left);
      outRight_[done + j] = SampleToFloat(play[j].right);
    }
    done += static_cast<uint32_t>(count);
    fill_ += count;
    if (fill_ == blockLen_) {
      chain_->ProcessBlock(start, start + blockLen_ - 1);
      block_ = (block_ + 1) % blockCount_;
      fill_ = 0;
    }
  }
}

void ChainPlugin::ReadControls() {
  bool changed = false;
  std::optional<int32_t> bank;
  for (size_t p = 0; p < controls_.size(); ++p) {
    if (controls_[p] == nullptr) continue;
    const float value = *controls_[p];
    if (std::isnan(value) || value == lastSeen_[p]) continue;
    lastSeen_[p] = value;
    if (adoptControls_) continue;
    if (ports_[p].role == PortRole::kBank) {
      bank = ControlValue(ports_[p], value);
    } else {
      changed = TakeControl(ports_[p], ControlValue(ports_[p], value)) || changed;
    }
  }
  adoptControls_ = false;
  // A bank replaces the whole setting, controls moved with it included.
  if (bank && *bank >= 1 && banks_) {
    TakeSetting(banks_->banks[static_cast<size_t>(*bank - 1)]);
    changed = true;
  }
  if (changed) published_.Publish(wanted_);
}

int32_t ChainPlugin::ControlValue(const PortSpec& port, float value) {
  if (port.toggled) return value > 0.0f ? kEffectOn : 0;
  const float limited =
      std::clamp(value, static_cast<float>(port.min), static_cast<float>(port.max));
  return static_cast<int32_t>(std::nearbyint(limited));
}

bool ChainPlugin::TakeControl(const PortSpec& port, int32_t value) {
  BankLevels& levels = wanted_.levels;
  const BankLevels before = levels;
  switch (port.role) {
    case PortRole::kLevelIn:
      levels.LevelIn = {value, value};  // the input fader is always linked
      break;
    case PortRole::kLevelOutLeft:
      levels.LevelOut[0] = value;
      break;
    case PortRole::kLevelOutRight:
      levels.LevelOut[1] = value;
      break;
    case PortRole::kEffectRow: {
      int32_t& row = wanted_.fx[FxIndex(port.effect, port.row)];
      if (row == value) return false;
      row = value;
      pending_.set(static_cast<size_t>(port.effect));
      if (port.row == 0) resync_.set(static_cast<size_t>(port.effect));
      return true;
    }
    default:
      return false;
  }
  if (levels.LevelIn == before.LevelIn && levels.LevelOut == before.LevelOut) return false;
  levelsPending_ = true;
  return true;
}

void ChainPlugin::TakeSetting(const ChainSetting& setting) {
  wanted_ = setting;
  pending_.set();
  resync_.set();
  levelsPending_ = true;
}

void ChainPlugin::ApplyPending() {
  if (levelsPending_) {
    stream_.InGain = Gains(wanted_.levels.LevelIn);
    stream_.OutGain = Gains(wanted_.levels.LevelOut);
    levelsPending_ = false;
  }
  if (pending_.none()) return;
  chain_->FxParam = wanted_.fx;
  for (int effect = 0; effect < kEffectCount; ++effect) {
    if (!pending_[static_cast<size_t>(effect)]) continue;
    if (resync_[static_cast<size_t>(effect)]) chain_->FxResync[effect] = true;
    chain_->ApplyEffectParams(effect);
  }
  pending_.reset();
  resync_.reset();
}

std::string ChainPlugin::WorkingSettingText() const {
  return SettingText(published_.Read(), errorCatch_);
}

void ChainPlugin::RestoreWorkingSetting(const std::string& text) {
  TakeSetting(ReadSetting(text, kCurrentSection, errorCatch_));
  published_.Publish(wanted_);
  adoptControls_ = true;
}

bool ChainPlugin::UseSettingsFile(const std::string& path) {
  settingsFile_ = path;
  banks_.reset();
  if (path.empty()) return true;
  banks_ = ReadSettingsFileBanks(path, errorCatch_);
  return banks_.has_value();
}

}  // namespace ampora
