#include "support/scoped_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace ampora::test {

namespace {

TempFolder& LocaleFolder() {
  static TempFolder folder;
  return folder;
}

// The locale's name for setlocale, once built; empty text when it cannot be built.
std::string BuiltLocale(const std::string& source) {
  static std::set<std::string> built;
  const std::string name = source + ".UTF-8";
  const std::string folder = LocaleFolder().path() + name;
  if (built.insert(source).second) {
    // localedef may warn about the source and still build the locale: its files count.
    const std::string command =
        "localedef -i " + source + " -f UTF-8 " + folder + " >/dev/null 2>&1";
    (void)std::system(command.c_str());
  }
  return std::filesystem::exists(folder + "/LC_NUMERIC") ? name : std::string();
}

}  // namespace

ScopedLocale::ScopedLocale(const std::string& source) {
  const std::string name = BuiltLocale(source);
  if (name.empty()) return;
  localePath_.emplace("LOCPATH", LocaleFolder().path());
  active_ = std::setlocale(LC_ALL, name.c_str()) != nullptr;
}

ScopedLocale::~ScopedLocale() {
  std::setlocale(LC_ALL, "C");
}

}  // namespace ampora::test
