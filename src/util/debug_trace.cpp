#include "util/debug_trace.h"

#include <cstdio>
#include <cstdlib>

namespace ampora {

bool TraceOn() {
  static const bool on = [] {
    const char* value = std::getenv("AMPORA_TRACE");
    return value != nullptr && *value != '\0';
  }();
  return on;
}

void Trace(const std::string& text) {
  if (!TraceOn()) return;
  std::fprintf(stderr, "ampora-trace: %s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace ampora
