#include "live/single_instance.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "util/folders.h"

namespace ampora {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info = {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string UserName() {
  const passwd* user = getpwuid(geteuid());
  return user != nullptr && user->pw_name != nullptr ? user->pw_name : std::to_string(geteuid());
}

}  // namespace

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && IsFolder(runtime)) return WithTrailingSlash(runtime);
  const char* temp = std::getenv("TMPDIR");
  const std::string folder =
      WithTrailingSlash(temp != nullptr && *temp != '\0' ? temp : "/tmp") + "runtime-" + UserName();
  mkdir(folder.c_str(), 0700);
  return WithTrailingSlash(folder);
}

SingleInstance::SingleInstance(const std::string& folder)
    : path_(WithTrailingSlash(folder.empty() ? RuntimeFolder() : folder) + kInstanceLockName) {}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) close(fd_);
}

bool SingleInstance::OtherInstanceRunning() {
  if (fd_ >= 0) return false;
  // Close-on-exec: a program started from this one (the mixer) must not hold the lock on.
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    fd_ = fd;
    return false;
  }
  const bool held = errno == EWOULDBLOCK;
  close(fd);
  return held;
}

}  // namespace ampora
