#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// A file's time stamp as text, in local time.
//
// Thread: UI thread (reads the time zone).

namespace ampora {

enum FileTimeKind : int32_t { kCreationTime = 0, kLastAccessTime = 1, kLastWriteTime = 2 };

// Bits of the parts argument.
inline constexpr int32_t kDatePart = 1;
inline constexpr int32_t kTimePart = 2;

// Styles: 0 "20240131 123456", 1 "2024/01/31 12:34:56", 2 "2024年01月31日 12時34分56秒"
// (style 0 runs date and time together without a blank).
std::string FormatFileTime(const std::tm& time, int32_t parts, int32_t style);

// The chosen time stamp of the file, formatted as above; empty text when the file cannot
// be opened or is a folder, or its time cannot be read or converted.
//
// The creation time is the file system's birth time where the kernel and the file
// system record it; where they do not, the last write time stands in for it.
std::string FileDateText(const std::string& path, int32_t which, int32_t parts, int32_t style);

}  // namespace ampora
