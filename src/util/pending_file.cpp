#include "util/pending_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string_view>

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

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

// The temporary name of a write: the target's name, ".tmp", the writer's process id, "-"
// and a counter.
std::string PendingName(const std::string& target, unsigned counter) {
  return target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter);
}

// The writer's process id of a temporary name of target ("ampora.ini.tmp4242-0" of
// "ampora.ini"), or 0 when the name is not one.
pid_t PendingWriter(std::string_view name, std::string_view targetName) {
  const std::string_view prefix = ".tmp";
  if (!name.starts_with(targetName) || !name.substr(targetName.size()).starts_with(prefix)) {
    return 0;
  }
  const std::string_view rest = name.substr(targetName.size() + prefix.size());
  const std::size_t dash = rest.find('-');
  const auto isNumber = [](std::string_view digits) {
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (dash == std::string_view::npos || !isNumber(rest.substr(0, dash)) ||
      !isNumber(rest.substr(dash + 1))) {
    return 0;
  }
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + dash, pid);
  return error == std::errc() ? pid : 0;
}

bool ProcessRuns(pid_t pid) {
  return kill(pid, 0) == 0 || errno != ESRCH;
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Whether the file is write-protected for us. Root may write anything, so a file with no
// write permission at all counts as protected too: that is what the user asked for.
bool WriteProtected(const std::string& path, const struct stat& info) {
  return (info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
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
  if (hadFile_ && WriteProtected(target_, old)) {
    errno = EACCES;
    return false;
  }
  mode_ = old.st_mode & 07777;

  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = PendingName(target_, counter++);
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

void RemoveAbandonedPendingFiles(const std::string& path, const timespec& changedBefore) {
  const std::string target = ReplacedPath(path);
  const std::string folder = FolderOf(target);
  const std::string targetName = NameOf(target);
  DIR* entries = opendir(folder.c_str());
  if (entries == nullptr) return;
  while (const dirent* entry = readdir(entries)) {
    const pid_t writer = PendingWriter(entry->d_name, targetName);
    if (writer <= 0) continue;
    const std::string file = folder + "/" + entry->d_name;
    struct stat info {};
    if (lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !Before(info.st_mtim, changedBefore) || ProcessRuns(writer)) {
      continue;
    }
    unlink(file.c_str());
  }
  closedir(entries);
}

}  // namespace ampora
