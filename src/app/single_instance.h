#pragma once

#include <QLockFile>
#include <memory>
#include <string>

// One program at a time: a lock file in the user's runtime folder ($XDG_RUNTIME_DIR, which
// the system empties when the user's last session ends), held for the whole run. The lock
// of a program that crashed is taken over, since its process no longer runs.
//
// Thread: UI thread, at start-up.

namespace ampora {

class SingleInstance {
 public:
  // folder: where the lock lives (with or without a trailing "/"); empty = the user's
  // runtime folder.
  explicit SingleInstance(const std::string& folder = "");
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock; true when another running instance holds it. A lock that cannot be
  // made at all (no runtime folder, a full disk) lets the program run: a second instance
  // is less harm than none.
  bool OtherInstanceRunning();

 private:
  std::unique_ptr<QLockFile> lock_;
};

inline constexpr char kInstanceLockName[] = "ampora.lock";

}  // namespace ampora
