#pragma once

#include <string_view>

// Store names reach file paths: a name picks name + ".ini" beside the program, and each
// component of a per-user key path is a folder or a file under the user's configuration
// folder. A name that could lead out of its folder names no store.
//
// Thread: any (pure function).

namespace ampora {

// False for an empty name, "." and "..", and a name holding "/" or a NUL.
inline bool IsSafeStoreName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace ampora
