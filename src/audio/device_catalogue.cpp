#include "audio/device_catalogue.h"

#include <cctype>
#include <optional>

#include "settings/setting_number.h"
#include "util/error_trap.h"
#include "util/message_seam.h"
#include "util/rounding.h"
#include "util/text.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Normalised(const std::string& name) {
  return TrimSpaces(LowerAscii(name));
}

// A device name as the system reports it, cut at the first NUL and trimmed.
std::string CleanName(const std::string& raw) {
  return TrimSpaces(raw.substr(0, raw.find('\0')));
}

// The text split into its UTF-8 characters.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> chars;
  for (char c : text) {
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (continuation && !chars.empty()) {
      chars.back() += c;
    } else {
      chars.emplace_back(1, c);
    }
  }
  return chars;
}

// Removes every "d- " from a text holding "(d- ", for the digits 0..5: the number the
// system puts inside the parentheses of a second identical device.
void RemoveBracketNumbering(std::string& text) {
  for (char d = '0'; d <= '5'; ++d) {
    const std::string numbering{d, '-', ' '};
    if (text.find('(' + numbering) == std::string::npos) continue;
    for (size_t at = text.find(numbering); at != std::string::npos; at = text.find(numbering, at)) {
      text.erase(at, numbering.size());
    }
  }
}

// For a text of more than 4 characters: for positions 1..4 in turn, if the character
// there is a space, a digit, "-", "(" or ")", the first character goes (the text shrinks
// while the position advances); then the spaces around are trimmed.
void RemoveLeadingNumbering(std::string& text) {
  std::vector<std::string> chars = Characters(text);
  if (chars.size() <= 4) return;
  for (size_t p = 1; p <= 4; ++p) {
    if (p > chars.size()) break;
    const std::string& c = chars[p - 1];
    const bool numbering =
        c.size() == 1 && (c[0] == ' ' || c[0] == '-' || c[0] == '(' || c[0] == ')' ||
                          std::isdigit(static_cast<unsigned char>(c[0])));
    if (numbering) chars.erase(chars.begin());
  }
  std::string joined;
  for (const std::string& c : chars) joined += c;
  text = TrimSpaces(joined);
}

bool IsDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::string WithoutPortNumbers(const std::string& name) {
  const std::string trimmed = TrimSpaces(name);
  const size_t space = trimmed.rfind(' ');
  if (space == std::string::npos) return name;
  const std::string numbers = trimmed.substr(space + 1);
  const size_t colon = numbers.find(':');
  if (colon == std::string::npos || !IsDigits(numbers.substr(0, colon)) ||
      !IsDigits(numbers.substr(colon + 1))) {
    return name;
  }
  const std::string rest = TrimSpaces(trimmed.substr(0, space));
  return rest.empty() ? name : rest;
}

bool SameDeviceName(const std::string& a, const std::string& b) {
  std::string s0 = LowerAscii(a);
  std::string s1 = LowerAscii(b);
  RemoveBracketNumbering(s0);
  RemoveBracketNumbering(s1);
  if (s0 == s1) return true;
  RemoveLeadingNumbering(s0);
  RemoveLeadingNumbering(s1);
  return s0 == s1;
}

std::vector<std::string> DeviceCatalogue::Names(int32_t direction) const {
  std::vector<std::string> names = names_(direction);
  for (std::string& name : names) name = CleanName(name);
  return names;
}

std::string DeviceCatalogue::Lasting(const std::string& normalised) const {
  return numbering_ == DeviceNumbering::kSequencerPorts ? WithoutPortNumbers(normalised)
                                                        : normalised;
}

int32_t DeviceCatalogue::FindName(const std::vector<std::string>& names,
                                  const std::string& n) const {
  for (size_t i = 0; i < names.size(); ++i) {
    if (Normalised(names[i]) == n) return static_cast<int32_t>(i);
  }
  if (numbering_ == DeviceNumbering::kStable) return -1;
  const std::string lasting = Lasting(n);
  for (size_t i = 0; i < names.size(); ++i) {
    if (Lasting(Normalised(names[i])) == lasting) return static_cast<int32_t>(i);
  }
  return -1;
}

void DeviceCatalogue::ListDevices(ChoiceList& list, int32_t direction,
                                  const std::string& name) const {
  list.Clear();
  const std::vector<std::string> names = Names(direction);
  if (names.empty()) return;
  for (const std::string& device : names) list.AddItem(device);
  const std::string n = Normalised(name);
  if (const int32_t found = n.empty() ? -1 : FindName(names, n); found >= 0) {
    return list.SetSelectedIndex(found);
  }
  if (!n.empty()) {
    for (int32_t i = 0; i < list.ItemCount(); ++i) {
      if (SameDeviceName(list.ItemText(i), n)) return list.SetSelectedIndex(i);
    }
  }
  list.SetSelectedIndex(-1);
}

std::string DeviceCatalogue::DeviceName(int32_t direction, int32_t id) const {
  const std::vector<std::string> names = Names(direction);
  return id >= 0 && id < static_cast<int32_t>(names.size()) ? names[static_cast<size_t>(id)] : "";
}

std::string DeviceCatalogue::NameToKeep(int32_t direction, int32_t id) const {
  const std::vector<std::string> names = Names(direction);
  if (id < 0 || id >= static_cast<int32_t>(names.size())) return "";
  const std::string& name = names[static_cast<size_t>(id)];
  const std::string lasting = Lasting(Normalised(name));
  for (size_t i = 0; i < names.size(); ++i) {
    if (static_cast<int32_t>(i) != id && Lasting(Normalised(names[i])) == lasting) return name;
  }
  return numbering_ == DeviceNumbering::kSequencerPorts ? WithoutPortNumbers(name) : name;
}

int32_t DeviceCatalogue::DeviceIdByName(int32_t direction, const std::string& name,
                                        int32_t warn) const {
  int32_t id = -1;
  TrapErrors([&] {
    const std::string n = Normalised(name);
    if (n.empty()) {
      id = 0;
      return;
    }
    if (const std::optional<double> number = ParseSettingNumber<double>(n)) {
      id = RoundInt32(*number);
      return;
    }
    const std::vector<std::string> names = Names(direction);
    if (names.empty()) {
      id = 0;
      return;
    }
    id = FindName(names, n);
    if (id >= 0 || warn != 1) return;
    ShowMessage(UiText("DeviceError", kDeviceNotFoundText) + "\n" + name, kMbOk | kMbIconError, "");
    for (size_t i = 0; i < names.size(); ++i) {
      if (SameDeviceName(names[i], n)) {
        id = static_cast<int32_t>(i);
        return;
      }
    }
  });
  return id;
}

}  // namespace ampora
