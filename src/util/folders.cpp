#include "util/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "util/error_trap.h"

namespace ampora {

namespace {
std::string& AppFolderOverride() {
  static std::string folder;
  return folder;
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return {};
}
}  // namespace

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string AppFolder() {
  std::string folder;
  TrapErrors([&] {
    if (!AppFolderOverride().empty()) {
      folder = WithTrailingSlash(AppFolderOverride());
      return;
    }
    const std::string exe = ExecutablePath();
    const std::size_t slash = exe.rfind('/');
    if (slash != std::string::npos) folder = WithTrailingSlash(exe.substr(0, slash));
  });
  return folder;
}

std::string ExecutableName() {
  std::string name;
  TrapErrors([&] {
    const std::string exe = ExecutablePath();
    name = exe.substr(exe.rfind('/') + 1);
  });
  return name;
}

std::string SystemFolder() {
  return "/usr/bin/";
}

std::string UserConfigFolder() {
  std::string folder;
  TrapErrors([&] {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
      folder = WithTrailingSlash(config);
      return;
    }
    const std::string home = HomeFolder();
    if (!home.empty()) folder = WithTrailingSlash(home) + ".config/";
  });
  return folder;
}

void OverrideAppFolder(const std::string& folder) {
  AppFolderOverride() = folder;
}

}  // namespace ampora
