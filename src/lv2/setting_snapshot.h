#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "lv2/plugin_setting.h"

// The working setting as the audio thread last published it, for a host that saves the
// plugin's state while it plays. The audio thread writes without waiting; a reader that
// meets a write in progress reads again (a sequence lock over atomic values).
//
// Thread: Publish from one thread at a time (the audio thread, or the host's thread while
// the audio thread is stopped); Read from any thread.

namespace ampora {

class SettingSnapshot {
 public:
  SettingSnapshot() { Publish(DefaultSetting()); }
  SettingSnapshot(const SettingSnapshot&) = delete;
  SettingSnapshot& operator=(const SettingSnapshot&) = delete;

  // Allocates nothing, never waits.
  void Publish(const ChainSetting& setting);
  ChainSetting Read() const;

 private:
  static constexpr size_t kLevelCount = 4;
  static constexpr size_t kValueCount = std::tuple_size_v<FxParamTable> + kLevelCount;

  std::atomic<uint32_t> sequence_{0};  // odd while a write is in progress
  std::array<std::atomic<int32_t>, kValueCount> values_{};
  static_assert(std::atomic<uint32_t>::is_always_lock_free &&
                std::atomic<int32_t>::is_always_lock_free);
};

}  // namespace ampora
