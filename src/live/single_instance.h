#pragma once

#include <string>

// One program at a time, windowed or headless: a lock on a file in the user's runtime
// folder ($XDG_RUNTIME_DIR, which the system empties when the user's last session ends),
// held for the whole run. The kernel lets go of the lock when the process ends however it
// ends, so the lock of a program that crashed never stands in the way.
//
// Thread: UI thread, at start-up.

namespace ampora {

class SingleInstance {
 public:
  // folder: where the lock lives (with or without a trailing "/"); empty = the user's
  // runtime folder.
  explicit SingleInstance(const std::string& folder = "");
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock; true when another running instance holds it. A lock that cannot be
  // made at all (no runtime folder, a full disk) lets the program run: a second instance
  // is less harm than none.
  bool OtherInstanceRunning();

 private:
  std::string path_;
  int fd_ = -1;
};

// The user's runtime folder, with a trailing "/": $XDG_RUNTIME_DIR when it names a
// folder, else a folder "runtime-<user>" in the temporary folder ($TMPDIR or /tmp),
// made for the user alone when missing (the place other programs on the desktop use).
std::string RuntimeFolder();

inline constexpr char kInstanceLockName[] = "ampora.lock";

}  // namespace ampora
