#include "app/single_instance.h"

#include <QStandardPaths>

#include "util/folders.h"

namespace ampora {

namespace {

std::string RuntimeFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
}

}  // namespace

SingleInstance::SingleInstance(const std::string& folder) {
  const std::string place = folder.empty() ? RuntimeFolder() : folder;
  lock_ = std::make_unique<QLockFile>(
      QString::fromStdString(WithTrailingSlash(place) + kInstanceLockName));
  // A running program holds its lock however long it runs; only the lock of a process
  // that is gone counts as stale.
  lock_->setStaleLockTime(0);
}

bool SingleInstance::OtherInstanceRunning() {
  if (lock_->tryLock(0)) return false;
  return lock_->error() == QLockFile::LockFailedError;
}

}  // namespace ampora
