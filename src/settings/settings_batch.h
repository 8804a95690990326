#pragma once

#include "settings/profile_file.h"

// Groups many settings writes into one replacement per file. Every single write flushes
// a whole file to the disk, which takes milliseconds; storing a bank of some 300 values,
// or writing back every default on a first run, would keep the user waiting for seconds.
// While a batch lives, reads and writes of the settings file and the per-user store work
// on copies in memory; when the outermost batch ends, each changed file is replaced
// once, atomically. Batches nest.
//
//   {
//     SettingsBatch batch;
//     for (...) WriteIniValue(key, value, "", "Bank01");
//   }  // written here
//
// Thread: UI thread only.

namespace ampora {

class SettingsBatch {
 public:
  SettingsBatch() { BeginProfileBatch(); }
  ~SettingsBatch() { EndProfileBatch(); }
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;
};

// Settings files are only read while the object lives: reads see the writes made
// meanwhile (the defaults that reads write back, for instance), but nothing reaches the
// disk. For programs that must leave the settings file alone, such as the offline
// renderer. It must be the outermost batch: inside another batch, the outer one would
// write the changes at its end.
class ReadOnlySettings {
 public:
  ReadOnlySettings() { BeginProfileBatch(); }
  ~ReadOnlySettings() { DiscardProfileBatch(); }
  ReadOnlySettings(const ReadOnlySettings&) = delete;
  ReadOnlySettings& operator=(const ReadOnlySettings&) = delete;
};

}  // namespace ampora
