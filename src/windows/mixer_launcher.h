#pragma once

#include <string>
#include <vector>

// The "ミキサー(&M)" command: starts a volume mixer beside the program, so that the
// recording and playback levels of the sound card can be set. The first that is there
// is started:
//   1. the program named by the setting "MixerApp" (a path, or a name looked up on PATH);
//   2. a program "mixer" in the program's own folder, unless the program is itself
//      called "mixer" (it would only start itself);
//   3. pavucontrol, pwvucontrol or qpwgraph, in this order, from PATH;
//   4. alsamixer in a terminal (x-terminal-emulator, gnome-terminal, konsole,
//      xfce4-terminal or xterm), both from PATH.
// A program counts when it is a regular file we may execute. It is started on its own,
// without a shell: its path is passed as it is, spaces and quotes included, with no
// arguments taken out of it. The command does not wait for it, and every failure is
// silent: nothing found or a start that fails starts nothing and says nothing.
//
// Thread: UI thread.

namespace ampora {

inline constexpr char kMixerAppKey[] = "MixerApp";

// Where the mixer is looked for.
struct MixerSearch {
  std::string mixerApp;   // the "MixerApp" setting; empty = none
  std::string appFolder;  // the program's folder, ending in "/"
  std::string ownName;    // the program's file name
  std::string path;       // the program search path, folders separated by ":"
};

// What to start; an empty program when there is nothing.
struct MixerCommand {
  std::string program;
  std::vector<std::string> arguments;

  bool operator==(const MixerCommand&) const = default;
};

// The search in the order above; looks at the file system only.
MixerCommand ChooseMixer(const MixerSearch& search);

// The search of this program: the setting (read as every setting is, so a first use
// writes it, empty, to the settings file), AppFolder(), the executable's name and PATH.
MixerSearch ProgramMixerSearch();

// Starts the chosen mixer detached. Traps every error, whatever ErrorCatch says.
void LaunchMixer();

}  // namespace ampora
