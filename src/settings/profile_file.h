#pragma once

#include <optional>
#include <string>
#include <string_view>

// Profile files on disk (the format is in settings/profile_text.h). Every write reads the
// file afresh and replaces it atomically, so a crash or a full disk never leaves a
// truncated file. A write that changes nothing leaves the file alone.
//
// Thread: UI thread.

namespace ampora {

// Files larger than this are not settings files: they are neither read nor rewritten.
inline constexpr std::size_t kMaxProfileFileBytes = 64u << 20;

// The value of the key, or nothing when the file, the section or the key is missing.
std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section,
                                             std::string_view key);

// Writes the value, creating the file and the section as needed; false when nothing
// was written (the file is then as it was).
bool WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value);

// Removes the key's lines; true when the file no longer holds the key.
bool DeleteProfileKey(const std::string& file, std::string_view section, std::string_view key);

// Deletes the file, also from a running batch.
void DeleteProfileFile(const std::string& file);

// Between the two, files are read once and changes are kept in memory; the outermost
// end writes each changed file once (settings/settings_batch.h). Inside a batch a write
// reports success when the change was accepted; a file that cannot be written at the
// end is reported on standard error.
void BeginProfileBatch();
void EndProfileBatch();
// Ends the outermost batch without writing anything: its changes are dropped.
void DiscardProfileBatch();

}  // namespace ampora
