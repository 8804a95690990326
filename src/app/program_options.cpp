#include "app/program_options.h"

#include <string_view>
#include <vector>

#include "version.h"

namespace ampora {

ProgramOptions ParseProgramOptions(int argc, const char* const* argv) {
  bool headless = false, listDevices = false, help = false, version = false;
  std::vector<std::string_view> others;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--headless") {
      headless = true;
    } else if (arg == "--list-devices") {
      listDevices = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else {
      others.push_back(arg);
    }
  }
  ProgramOptions options;
  if (help) {
    options.mode = ProgramMode::kHelp;
  } else if (version) {
    options.mode = ProgramMode::kVersion;
  } else if (listDevices) {
    options.mode = ProgramMode::kListDevices;
  } else if (headless) {
    options.mode = ProgramMode::kHeadless;
  } else {
    return options;  // the windowed program's arguments, Qt's options among them
  }
  for (const std::string_view arg : others) {
    if (arg.starts_with("-") || (options.mode == ProgramMode::kListDevices)) {
      options.mode = ProgramMode::kBadUsage;
      options.error = "unexpected argument '" + std::string(arg) + "'";
      return options;
    }
    if (!options.switches.empty()) options.switches += ' ';
    options.switches += arg;
  }
  return options;
}

std::string ProgramUsage() {
  return R"(Usage: ampora [F01..F12|S]
       ampora --headless [F01..F12|S]
       ampora --list-devices
       ampora --help | --version

A real-time multi-effects processor: the input device's sound runs through a chain
of sixteen effects to the output device. Twelve banks are recalled with F1..F12, by
MIDI Program Change 0..11 and, without a window, by commands.

Start switches:
  F    start the stream ("Start"); F01..F12 also load that bank
  S    start the stream

Options:
  --headless      run without a window and without a display: the same settings,
                  banks, devices and MIDI control; commands on standard input, one
                  per line, and one line on standard output for each event
  --list-devices  list the audio and MIDI devices of every interface, with the
                  settings that choose them, and exit
  -h, --help      this text
  --version       the version, and exit

Commands of --headless:
  bank N               load bank N (1..12), as key F<N>
  store N              store the working setting into bank N under its current name
  bypass | tuner       switch the bypass or the tuner, as their buttons
  start                start or restart the stream, as "Start"/"Reset"
  level in DB          the input level, -50..50 dB
  level out DB [DB]    the output level, both channels or left and right
  effect NAME on|off   switch an effect (its name or its two-letter code)
  status               one line on what runs
  quit                 end, as SIGTERM, SIGINT or SIGHUP do; the end of the input does not

The program ends saving the working setting, the devices and the levels.
Exit status: 0, 1 after an error that ended the program, 2 for a wrong command line.
)";
}

std::string ProgramVersion() {
  return std::string("ampora ") + kVersionText + "\n";
}

}  // namespace ampora
