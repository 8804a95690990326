#pragma once

// The program asks for a higher scheduling priority at start-up, so that a busy desktop
// delays its timer and its devices less. Linux keeps a nice value per thread: every
// thread running now is raised, and the threads started later (the devices') inherit it.
// Without the permission to raise it (no CAP_SYS_NICE, RLIMIT_NICE too low) nothing
// changes and nothing is reported. A priority that is already higher stays.
//
// Thread: UI thread, at start-up.

namespace ampora {

// The nice value asked for: what "high priority" means for a desktop program.
inline constexpr int kRaisedNice = -10;

void RaiseProcessPriority();

}  // namespace ampora
