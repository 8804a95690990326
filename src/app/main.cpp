// ampora: the program, with its window or without one. What runs is decided from the
// command line before anything else is made: without a window no Qt application exists,
// so no display is needed (only Qt's translations give the messages their language).

#include <iostream>

#include "app/device_listing.h"
#include "app/headless_program.h"
#include "app/program_options.h"
#include "app/windowed_program.h"
#include "controls/ui_language.h"

int main(int argc, char** argv) {
  using ampora::ProgramMode;
  const ampora::ProgramOptions options = ampora::ParseProgramOptions(argc, argv);
  switch (options.mode) {
    case ProgramMode::kHelp:
      std::cout << ampora::ProgramUsage();
      return 0;
    case ProgramMode::kVersion:
      std::cout << ampora::ProgramVersion();
      return 0;
    case ProgramMode::kBadUsage:
      std::cerr << "ampora: " << options.error << "\nTry 'ampora --help'.\n";
      return ampora::kUsageExitCode;
    case ProgramMode::kListDevices:
      ampora::ListDevices(std::cout);
      return 0;
    case ProgramMode::kHeadless:
      return ampora::RunHeadless(options.switches, [] { ampora::ApplyUiLanguageSetting(); });
    case ProgramMode::kWindowed:
      break;
  }
  return ampora::RunWindowed(argc, argv);
}
