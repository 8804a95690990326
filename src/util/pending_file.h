#pragma once

#include <ctime>
#include <string>

// A file that replaces another only when it is complete: it is written under a temporary
// name in the target's folder, flushed to the disk and renamed over the target at the
// end. A crash, a full disk or an abandoned write leaves the old file (or none) and no
// partial one. A symbolic link is followed, so the file it names is replaced and the
// link stays; an existing file keeps its permissions. A file the user has write-protected
// is not replaced, although renaming over it would only need the folder's permission.
//
// Thread: the thread that owns the object.

namespace ampora {

class PendingFile {
 public:
  PendingFile() = default;
  // Removes the temporary file unless it was committed.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the temporary file for path; false (with errno set) when the folder cannot
  // take it, path names something other than a regular file, or the file is
  // write-protected: we may not write it, or none of its write permissions is set (which
  // also holds a root user back).
  bool Create(const std::string& path);

  // The descriptor of the temporary file (-1 before a successful Create).
  int fd() const { return fd_; }

  // Flushes and closes the temporary file and renames it over the target. False when
  // any step fails; the temporary file is then removed and the target left as it was.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool hadFile_ = false;
  unsigned mode_ = 0;  // the old file's permissions
};

// Removes the temporary files that writers of path left behind when they crashed: regular
// files beside the file (beside the file a symbolic link names) named as PendingFile names
// them, last changed before the given time, whose writing process no longer runs.
// Nothing else is touched.
void RemoveAbandonedPendingFiles(const std::string& path, const timespec& changedBefore);

}  // namespace ampora
