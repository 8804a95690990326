#pragma once

#include <string>

// The command line of the program, read before anything else is made: whether it runs
// with its window (where Qt takes its own options), without one, or only answers.
//   ampora [F01..F12|S]                  the windowed program (live/start_switches.h)
//   ampora --headless [F01..F12|S]       the same without a window or display
//   ampora --list-devices                the devices the settings may name, then exit
//   ampora --help | -h, ampora --version
// A command line without these options is the windowed program's, as it always was. With
// them, any other argument that starts with "-" is an error; the rest are start switches.
//
// Thread: any (pure functions).

namespace ampora {

enum class ProgramMode { kWindowed, kHeadless, kListDevices, kHelp, kVersion, kBadUsage };

struct ProgramOptions {
  ProgramMode mode = ProgramMode::kWindowed;
  // The start switches of the headless program: its other arguments, joined by spaces.
  std::string switches;
  // For kBadUsage: what is wrong.
  std::string error;
};

// argv[0] is the program's path, which is never looked at.
ProgramOptions ParseProgramOptions(int argc, const char* const* argv);

// The text of --help and of --version.
std::string ProgramUsage();
std::string ProgramVersion();

// Exit status of a wrong command line.
inline constexpr int kUsageExitCode = 2;

}  // namespace ampora
