#pragma once

#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace ampora::test {

// Makes a desktop locale the process's C locale (LC_ALL) for the object's lifetime, then
// "C" again: for tests that numbers do not follow the user's locale. The locale is built
// from the system's locale sources (package "locales") with the UTF-8 character map into
// a temporary folder, once per process, so no root and no installed locale are needed.
class ScopedLocale {
 public:
  // source: a locale source such as "de_DE" (decimal comma) or "ps_AF" (a decimal
  // separator of two bytes).
  explicit ScopedLocale(const std::string& source);
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  // False when the locale could not be built or set; the test should then skip.
  bool active() const { return active_; }

 private:
  std::optional<ScopedEnv> localePath_;
  bool active_ = false;
};

}  // namespace ampora::test
