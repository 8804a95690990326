#pragma once

#include <string>

// Where a settings file lives.
//
// The settings file of a name (the application title, or a store name) is name + ".ini"
// in the program's folder when the program runs from a folder of its own (a build tree,
// an unpacked archive) and may write there. An installed program, and one that may not
// write in its folder (installed under /usr, or on a read-only medium), keeps the file in
// $XDG_CONFIG_HOME/ampora/name.ini (~/.config/ampora/name.ini by default); a file of that
// name in the program's folder is copied there the first time, so settings that came with
// the program are kept. When that copy cannot be made (the per-user folder cannot be
// created), the file beside the program is read where it is and changes cannot be saved,
// which is reported once.
//
// A program counts as installed when a desktop entry lies at
// ../share/applications/ampora.desktop from its folder, as an installation into a prefix
// (/usr, /usr/local, ~/.local) puts it.
//
// Thread: UI thread.

namespace ampora {

// The per-user folder of settings files, with a trailing "/".
std::string UserSettingsFolder();

// Whether the program in the folder (with a trailing "/") is installed, by the rule above.
bool IsInstalledProgram(const std::string& programFolder);

// The settings file of the name, by the rule above, for the program's folder (AppFolder);
// empty text for a name that is no safe store name (settings/store_name.h).
std::string SettingsFileFor(const std::string& name);

// The same rule for the given program folder and what is known of it.
struct ProgramFolderState {
  bool writable = false;
  bool installed = false;
};
std::string SettingsFileIn(const std::string& programFolder, const std::string& name,
                           ProgramFolderState state);

// What start-up does before the first read: sets AppTitle to "ampora" and SettingsIniPath
// to its settings file, which is then used for the whole run, even if the folders'
// permissions change meanwhile; and removes the temporary files that a crashed run left
// beside that file (util/pending_file.h).
void InitSettingsPaths();

// A file named in the program's settings file: an absolute path as it stands, a
// relative one taken from the folder of that settings file, so that it names the same
// file however the program was started (from a desktop entry or a terminal anywhere).
// Empty text stays empty.
std::string PathFromSettingsFile(const std::string& path);

// SettingsIniPath, which the operations with an empty file argument use. When start-up
// has not set it, the first use resolves it as InitSettingsPaths does, for the rest of
// the run.
const std::string& ProgramSettingsFile();

}  // namespace ampora
