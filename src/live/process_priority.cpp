#include "live/process_priority.h"

#include <sys/resource.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string>

namespace ampora {

void RaiseProcessPriority() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
    const std::string name = entry.path().filename().string();
    id_t thread = 0;
    const auto [end, parsed] = std::from_chars(name.data(), name.data() + name.size(), thread);
    if (parsed != std::errc() || end != name.data() + name.size()) continue;
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, thread);
    if (errno == 0 && current <= kRaisedNice) continue;
    setpriority(PRIO_PROCESS, thread, kRaisedNice);
  }
}

}  // namespace ampora
