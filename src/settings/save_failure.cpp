#include "settings/save_failure.h"

#include <iostream>
#include <set>

namespace ampora {

void ReportUnsavedSetting(const std::string& place, const std::string& key) {
  static std::set<std::string> reported;
  if (!reported.insert(place).second) return;
  std::cerr << "ampora: cannot save the setting \"" << key << "\" in " << place
            << "; later failures there are not reported\n";
}

}  // namespace ampora
