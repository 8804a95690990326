#include "settings/save_failure.h"

#include <iostream>
#include <set>

namespace ampora {

void ReportUnsavedSettings(const std::string& place, const std::string& reason) {
  static std::set<std::string> reported;
  if (!reported.insert(place).second) return;
  std::cerr << "ampora: cannot save settings in " << place;
  if (!reason.empty()) std::cerr << " (" << reason << ")";
  std::cerr << "; later failures there are not reported\n";
}

}  // namespace ampora
