#include "windows/mixer_launcher.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <exception>

#include "settings/settings_store.h"
#include "util/folders.h"

namespace ampora {

namespace {

// A program "mixer" in our own folder stands for the platform's mixer, unless we are it.
constexpr char kOwnFolderMixer[] = "mixer";
constexpr const char* kMixerPrograms[] = {"pavucontrol", "pwvucontrol", "qpwgraph"};
constexpr char kTerminalMixer[] = "alsamixer";

struct Terminal {
  const char* program;
  const char* runFlag;  // what comes before the program the terminal is to run
};
constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"}, {"konsole", "-e"},
    {"xfce4-terminal", "-x"},      {"xterm", "-e"},
};

bool IsProgram(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

// The program called name in the first folder of the search path that has one. Only
// absolute folders count: an empty or relative entry would run whatever lies in the
// current folder.
std::string FindOnPath(const std::string& name, const std::string& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string folder = path.substr(start, end - start);
    if (!folder.empty() && folder.front() == '/') {
      const std::string candidate = WithTrailingSlash(folder) + name;
      if (IsProgram(candidate)) return candidate;
    }
    start = end + 1;
  }
  return {};
}

// A path names the file itself; a bare name is looked up like a command.
std::string ConfiguredProgram(const std::string& text, const std::string& path) {
  if (text.find('/') != std::string::npos) return IsProgram(text) ? text : std::string();
  return text.empty() ? std::string() : FindOnPath(text, path);
}

}  // namespace

MixerCommand ChooseMixer(const MixerSearch& search) {
  if (std::string program = ConfiguredProgram(search.mixerApp, search.path); !program.empty()) {
    return {program, {}};
  }
  if (search.ownName != kOwnFolderMixer && !search.appFolder.empty()) {
    const std::string beside = search.appFolder + kOwnFolderMixer;
    if (IsProgram(beside)) return {beside, {}};
  }
  for (const char* name : kMixerPrograms) {
    if (std::string program = FindOnPath(name, search.path); !program.empty()) {
      return {program, {}};
    }
  }
  const std::string alsamixer = FindOnPath(kTerminalMixer, search.path);
  if (alsamixer.empty()) return {};
  for (const Terminal& terminal : kTerminals) {
    if (std::string program = FindOnPath(terminal.program, search.path); !program.empty()) {
      return {program, {terminal.runFlag, alsamixer}};
    }
  }
  return {};
}

MixerSearch ProgramMixerSearch() {
  const char* path = std::getenv("PATH");
  return {ReadSetting(kMixerAppKey, SettingValue::Text("")), AppFolder(), ExecutableName(),
          path != nullptr ? path : ""};
}

void LaunchMixer() {
  try {
    const MixerCommand command = ChooseMixer(ProgramMixerSearch());
    if (command.program.empty()) return;
    QStringList arguments;
    for (const std::string& argument : command.arguments) {
      arguments.push_back(QString::fromStdString(argument));
    }
    QProcess::startDetached(QString::fromStdString(command.program), arguments);
  } catch (const std::exception&) {
    // The mixer is a convenience: whatever fails, the program carries on without it.
  }
}

}  // namespace ampora
