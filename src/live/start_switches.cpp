#include "live/start_switches.h"

namespace ampora {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

StartSwitches ParseStartSwitches(const std::string& arguments) {
  StartSwitches switches;
  if (const size_t f = arguments.find('F'); f != std::string::npos) {
    switches.startForF = true;
    if (f + 2 < arguments.size() && IsDigit(arguments[f + 1]) && IsDigit(arguments[f + 2])) {
      const int32_t number = (arguments[f + 1] - '0') * 10 + (arguments[f + 2] - '0');
      switches.keyCode = number + 111;
    }
  }
  switches.startForS = arguments.find('S') != std::string::npos;
  return switches;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) joined += ' ';
    joined += argv[i];
  }
  return joined;
}

}  // namespace ampora
