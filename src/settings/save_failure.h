#pragma once

#include <string>

namespace ampora {

// Tells on standard error, once per place, that settings could not be saved there, so
// that a lost setting never goes unnoticed; the reason, when given, is added. The
// settings operations themselves stay silent towards the user.
// Thread: UI thread.
void ReportUnsavedSettings(const std::string& place, const std::string& reason = "");

}  // namespace ampora
