#include "util/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace ampora {

namespace {

// The file a write should replace: the target of a symbolic link, else the path itself.
std::string ReplacedPath(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  // A dangling link: write where it points.
  char target[PATH_MAX];
  const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
  if (length <= 0) return path;
  const std::string linkTarget(target, static_cast<std::size_t>(length));
  if (linkTarget[0] == '/') return linkTarget;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? linkTarget : path.substr(0, slash + 1) + linkTarget;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here cannot undo the new content.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

PendingFile::~PendingFile() {
  Discard();
}

bool PendingFile::Create(const std::string& path) {
  Discard();
  target_ = ReplacedPath(path);
  struct stat old {};
  hadFile_ = stat(target_.c_str(), &old) == 0;
  if (hadFile_ && !S_ISREG(old.st_mode)) {
    errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  mode_ = old.st_mode & 07777;

  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = target_ + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) temp_.clear();
  return fd_ >= 0;
}

bool PendingFile::Commit() {
  if (fd_ < 0) return false;
  const int fd = fd_;
  fd_ = -1;
  const bool written = (!hadFile_ || fchmod(fd, mode_) == 0) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;  // the last chance of a write error
  if (!written || !closed || rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    errno = error;
    return false;
  }
  temp_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

void PendingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace ampora
