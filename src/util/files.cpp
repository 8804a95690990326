#include "util/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "util/error_trap.h"
#include "util/pending_file.h"
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

bool ReplaceContent(const std::string& path, std::string_view content) {
  PendingFile file;
  return file.Create(path) && WriteAll(file.fd(), content) && file.Commit();
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
