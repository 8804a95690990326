#pragma once

#include <string>

// Folders the program works with. Every folder text ends with exactly one "/".
//
// Thread: UI thread (the override is not synchronised).

namespace ampora {

// The executable's folder (from /proc/self/exe); empty text when it cannot be found.
std::string AppFolder();

// The executable's file name, without its folder (from /proc/self/exe); empty text when
// it cannot be found.
std::string ExecutableName();

// The folder of the system's programs: "/usr/bin/".
std::string SystemFolder();

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config (the home folder from the user database when HOME is unset).
std::string UserConfigFolder();

// Makes AppFolder() answer folder instead (tests); empty text restores the real one.
void OverrideAppFolder(const std::string& folder);

// Appends "/" unless the text already ends with one.
std::string WithTrailingSlash(std::string folder);

}  // namespace ampora
