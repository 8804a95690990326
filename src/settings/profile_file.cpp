#include "settings/profile_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "settings/profile_text.h"
#include "settings/save_failure.h"
#include "util/files.h"

namespace ampora {

namespace {

struct CachedFile {
  std::optional<ProfileText> profile;  // nothing: the file cannot be read
  bool changed = false;
};

struct BatchState {
  int depth = 0;
  std::map<std::string, CachedFile> files;
};

BatchState& Batch() {
  static BatchState batch;
  return batch;
}

bool Exists(const std::string& file) {
  struct stat info {};
  return stat(file.c_str(), &info) == 0;
}

// The file's profile: empty for a file that does not exist yet, nothing for one that
// cannot be read (which must then not be overwritten either).
std::optional<ProfileText> Load(const std::string& file) {
  std::optional<std::string> text = ReadWholeFile(file, kMaxProfileFileBytes);
  if (!text && !Exists(file)) text.emplace();
  if (!text) return std::nullopt;
  return ProfileText(std::move(*text));
}

// Inside a batch: the file's profile as the batch has it, loaded on first use.
CachedFile& Cached(const std::string& file) {
  auto [entry, added] = Batch().files.try_emplace(file);
  if (added) entry->second.profile = Load(file);
  return entry->second;
}

// Applies edit(profile, changed) and keeps the result when it changed something: at
// once, or at the end of the batch. False when the file cannot be read, the edit is
// refused or the file cannot be replaced.
template <class Edit>
bool Modify(const std::string& file, Edit edit) {
  bool changed = false;
  if (Batch().depth > 0) {
    CachedFile& cached = Cached(file);
    if (!cached.profile || !edit(*cached.profile, changed)) return false;
    cached.changed = cached.changed || changed;
    return true;
  }
  std::optional<ProfileText> profile = Load(file);
  if (!profile || !edit(*profile, changed)) return false;
  return !changed || ReplaceFileAtomically(file, profile->text());
}

}  // namespace

std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key) {
  if (Batch().depth > 0) {
    const CachedFile& cached = Cached(file);
    return cached.profile ? cached.profile->Get(section, key) : std::nullopt;
  }
  std::optional<std::string> text = ReadWholeFile(file, kMaxProfileFileBytes);
  if (!text) return std::nullopt;
  return ProfileText(std::move(*text)).Get(section, key);
}

bool WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  return Modify(file, [&](ProfileText& profile, bool& changed) {
    if (profile.Get(section, key) == value) return true;
    changed = true;
    return profile.Set(section, key, value);
  });
}

bool DeleteProfileKey(const std::string& file, std::string_view section, std::string_view key) {
  if (!Exists(file) && Batch().depth == 0) return true;
  return Modify(file, [&](ProfileText& profile, bool& changed) {
    while (profile.Remove(section, key)) changed = true;
    return true;
  });
}

void DeleteProfileFile(const std::string& file) {
  Batch().files.erase(file);
  unlink(file.c_str());
}

void BeginProfileBatch() {
  ++Batch().depth;
}

void DiscardProfileBatch() {
  if (Batch().depth == 0 || --Batch().depth > 0) return;
  Batch().files.clear();
}

void EndProfileBatch() {
  if (Batch().depth == 0 || --Batch().depth > 0) return;
  const std::map<std::string, CachedFile> files = std::move(Batch().files);
  Batch().files.clear();
  for (const auto& [file, cached] : files) {
    if (cached.changed && !ReplaceFileAtomically(file, cached.profile->text())) {
      ReportUnsavedSettings(file);
    }
  }
}

}  // namespace ampora
