#include "windows/version_info.h"

#include <QWidget>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "controls/centered_message_box.h"
#include "settings/settings_store.h"
#include "util/computer_name.h"
#include "util/error_trap.h"
#include "util/file_date.h"
#include "util/folders.h"
#include "util/message_seam.h"
#include "util/text.h"
#include "version.h"

namespace ampora {

namespace {

// The numbers of "major.minor.revision"; a part that is missing or not a plain number
// is 0.
std::array<uint32_t, 3> VersionNumbers(const std::string& version) {
  std::array<uint32_t, 3> numbers{};
  size_t start = 0;
  for (uint32_t& number : numbers) {
    if (start > version.size()) break;
    const size_t end = std::min(version.find('.', start), version.size());
    const char* first = version.data() + start;
    const char* last = version.data() + end;
    const auto [stop, error] = std::from_chars(first, last, number);
    if (error != std::errc() || stop != last) number = 0;
    start = end + 1;
  }
  return numbers;
}

}  // namespace

std::string VersionLine(const std::string& version) {
  const std::array<uint32_t, 3> n = VersionNumbers(version);
  return "version: " + std::to_string(n[0]) + "." + ZeroPadded(static_cast<int64_t>(n[1]), 2) +
         "." + ZeroPadded(static_cast<int64_t>(n[2]), 4);
}

std::string VersionInfoText(const VersionFacts& facts, const std::string& extra) {
  std::string text = facts.company + " " + facts.title + "\n";
  text += "\n";
  text += VersionLine(facts.version) + "\n";
  text += FillIn(UiText("VersionInfo", "%1更新版"), {facts.fileDate}) + "\n";
  text += "\n";
  text += "computer name: " + facts.computerName;
  if (!extra.empty()) text += "\n" + extra;
  return text;
}

VersionFacts ProgramVersionFacts() {
  return {kCompanyName, AppTitle, kVersionText,
          FileDateText(AppFolder() + ExecutableName(), kLastWriteTime, kDatePart | kTimePart, 1),
          ComputerNameText()};
}

void ShowVersionInfo(QWidget& owner, const std::string& extra) {
  TrapErrors([&] {
    const std::string text = VersionInfoText(ProgramVersionFacts(), extra);
    ShowMessageCentered(text, kMbOk | kMbIconInformation, UiText("VersionInfo", kVersionCaption),
                        &owner);
  });
}

}  // namespace ampora
