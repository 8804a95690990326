#include "util/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {

namespace {

// Closes the descriptor when leaving scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close (the last chance of a write error) worked.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

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
  FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) fsync(fd.get());
}

bool ReplaceContent(const std::string& path, std::string_view content) {
  const std::string target = ReplacedPath(path);
  struct stat old {};
  const bool hadFile = stat(target.c_str(), &old) == 0;
  if (hadFile && !S_ISREG(old.st_mode)) return false;

  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  FileDescriptor file(fd);
  if (file.get() < 0) return false;

  const bool written =
      WriteAll(file.get(), content) && (!hadFile || fchmod(file.get(), old.st_mode & 07777) == 0) &&
      fsync(file.get()) == 0 && file.Close() && rename(temp.c_str(), target.c_str()) == 0;
  if (!written) {
    unlink(temp.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

}  // namespace

bool FileExists(const std::string& path) {
  bool exists = false;
  TrapErrors([&] {
    if (TrimBlanks(path).empty()) return;
    struct stat info {};
    exists = stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  });
  return exists;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  // Non-blocking, so that a pipe or a device under the name cannot stall the program.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return std::nullopt;

  std::string content;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(file.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    // The file may grow while it is read.
    if (content.size() + static_cast<std::size_t>(got) > maxBytes) return std::nullopt;
    content.append(chunk, static_cast<std::size_t>(got));
  }
  return content;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
  bool replaced = false;
  TrapErrors([&] { replaced = !path.empty() && ReplaceContent(path, content); });
  return replaced;
}

bool MakeFolders(const std::string& folder) {
  bool made = false;
  TrapErrors([&] {
    if (folder.empty()) return;
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
      const std::string part = folder.substr(0, slash);
      if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return;
      if (slash == std::string::npos || slash + 1 >= folder.size()) break;
    }
    struct stat info {};
    made = stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  });
  return made;
}

}  // namespace ampora
