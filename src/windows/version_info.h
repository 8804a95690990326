#pragma once

#include <string>

#include "util/ui_text.h"

class QWidget;

// The version box of the "その他(&E)" menu: who made the program, its version, when the
// program file was built and which computer it runs on, in a message box centred over
// the main window.
//
// Thread: UI thread.

namespace ampora {

// What the box tells.
struct VersionFacts {
  std::string company;
  std::string title;
  std::string version;   // "major.minor.revision", as the build records it
  std::string fileDate;  // the program file's last write, "2010/05/06 12:34:56"; may be empty
  std::string computerName;
};

// "version: " and the major number, the minor one with two digits and the revision with
// four: "1.4.0" reads "version: 1.04.0000". A missing or unreadable part counts as 0.
std::string VersionLine(const std::string& version);

// The box's text, one line each: company and title, an empty line, the version line, the
// file date followed by "更新版", an empty line, "computer name: " and the name; then the
// extra text on a line of its own when there is one.
std::string VersionInfoText(const VersionFacts& facts, const std::string& extra);

// The facts of this program: the build's company and version, AppTitle, the date of the
// program file in AppFolder(), the host name.
VersionFacts ProgramVersionFacts();

inline constexpr char kVersionCaption[] = UI_TEXT_NOOP("VersionInfo", "バージョン情報");

// Shows the box (information icon, one OK button) over owner and returns when it is
// closed. An error keeps the box from showing, unless ErrorCatch is on.
void ShowVersionInfo(QWidget& owner, const std::string& extra = "");

}  // namespace ampora
