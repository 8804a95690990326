#include "lv2/setting_snapshot.h"

namespace ampora {

namespace {

std::array<int32_t*, 4> LevelSlots(BankLevels& levels) {
  return {&levels.LevelIn[0], &levels.LevelIn[1], &levels.LevelOut[0], &levels.LevelOut[1]};
}

}  // namespace

void SettingSnapshot::Publish(const ChainSetting& setting) {
  const uint32_t sequence = sequence_.load(std::memory_order_relaxed);
  sequence_.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  size_t i = 0;
  for (int32_t value : setting.fx) values_[i++].store(value, std::memory_order_relaxed);
  BankLevels levels = setting.levels;
  for (int32_t* level : LevelSlots(levels)) values_[i++].store(*level, std::memory_order_relaxed);
  sequence_.store(sequence + 2, std::memory_order_release);
}

ChainSetting SettingSnapshot::Read() const {
  ChainSetting setting;
  for (;;) {
    const uint32_t before = sequence_.load(std::memory_order_acquire);
    if (before % 2 == 0) {
      size_t i = 0;
      for (int32_t& value : setting.fx) value = values_[i++].load(std::memory_order_relaxed);
      for (int32_t* level : LevelSlots(setting.levels)) {
        *level = values_[i++].load(std::memory_order_relaxed);
      }
      std::atomic_thread_fence(std::memory_order_acquire);
      if (sequence_.load(std::memory_order_relaxed) == before) return setting;
    }
  }
}

}  // namespace ampora
