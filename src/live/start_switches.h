#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The start-up switches of the command line. They are looked for in the arguments only,
// joined by spaces, never in the program's path (a program installed as /opt/FS/ampora
// must not start streaming by itself). Case matters; a switch may stand anywhere:
//   "F"  presses Start; two digits right after the first "F" then act as the function
//        key of that number (F05 loads bank 5; F5 and F13 only start; F00 only starts);
//   "S"  presses Start, again when there was an "F" too (FS01 starts twice).
//
// Thread: any (pure functions).

namespace ampora {

struct StartSwitches {
  bool startForF = false;
  std::optional<int32_t> keyCode;  // the key code of the function key: number + 111
  bool startForS = false;
};

StartSwitches ParseStartSwitches(const std::string& arguments);

// The arguments after the program's path (argv[0]), joined by single spaces.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace ampora
