#include "settings/profile_file.h"

#include <sys/stat.h>

#include "settings/profile_text.h"
#include "util/files.h"

namespace ampora {

namespace {

bool Exists(const std::string& file) {
  struct stat info {};
  return stat(file.c_str(), &info) == 0;
}

// The file's current text: empty for a file that does not exist yet, nothing for one
// that cannot be read (which must then not be overwritten).
std::optional<std::string> TextToEdit(const std::string& file) {
  std::optional<std::string> text = ReadWholeFile(file, kMaxProfileFileBytes);
  if (!text && !Exists(file)) text.emplace();
  return text;
}

}  // namespace

std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key) {
  std::optional<std::string> text = ReadWholeFile(file, kMaxProfileFileBytes);
  if (!text) return std::nullopt;
  return ProfileText(std::move(*text)).Get(section, key);
}

bool WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::optional<std::string> text = TextToEdit(file);
  if (!text) return false;
  ProfileText profile(std::move(*text));
  if (profile.Get(section, key) == value) return true;
  return profile.Set(section, key, value) && ReplaceFileAtomically(file, profile.text());
}

bool DeleteProfileKey(const std::string& file, std::string_view section, std::string_view key) {
  std::optional<std::string> text = ReadWholeFile(file, kMaxProfileFileBytes);
  if (!text) return !Exists(file);
  ProfileText profile(std::move(*text));
  bool removed = false;
  while (profile.Remove(section, key)) removed = true;
  return !removed || ReplaceFileAtomically(file, profile.text());
}

}  // namespace ampora
