#pragma once

#include <string>

// Where a settings file lives.
//
// The settings file of a name (the application title, or a store name) is name + ".ini"
// in the program's folder when the program may write there. When it may not (the
// program is installed under /usr, or on a read-only medium), the file is
// $XDG_CONFIG_HOME/ampora/name.ini (~/.config/ampora/name.ini by default), and a file of
// that name in the program's folder is copied there the first time, so settings that
// came with the program are kept.
//
// Thread: UI thread.

namespace ampora {

// The per-user folder of settings files, with a trailing "/".
std::string UserSettingsFolder();

// The settings file of the name, by the rule above, for the program's folder (AppFolder).
std::string SettingsFileFor(const std::string& name);

// The same rule for the given program folder and its writability.
std::string SettingsFileIn(const std::string& programFolder, const std::string& name,
                           bool programFolderWritable);

// Sets AppTitle to "ampora" and SettingsIniPath to its settings file: what start-up does
// before the first read.
void InitSettingsPaths();

}  // namespace ampora
