#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Files as a whole: existence, reading, atomic replacement, folders.
//
// Thread: UI thread.

namespace ampora {

// True when the path, trimmed of blanks, is not empty and names something that exists
// and is not a folder (the untrimmed path is the one looked at).
bool FileExists(const std::string& path);

// The content of a regular file of at most maxBytes bytes; nothing when the file is
// missing, is not a regular file (a folder, a pipe, a device) or is larger.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Replaces the file's content atomically: the content goes to a temporary file in the
// same folder, is flushed to the disk and renamed over the file. A crash or a full disk
// leaves either the old or the new content, never a mix or an empty file. A symbolic
// link is followed, so the file it names is replaced and the link stays. An existing
// file keeps its permissions. False (and the old file unchanged) on any failure.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

// Creates the folder and the missing folders above it; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace ampora
