#include "util/file_date.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {

namespace {

// The chosen stamp in seconds since the epoch; false when it cannot be read.
bool ReadFileTime(const std::string& path, int32_t which, std::time_t& seconds) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct statx info {};
  const bool read = statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info) == 0;
  close(fd);
  if (!read || S_ISDIR(info.stx_mode)) return false;
  switch (which) {
    case kCreationTime:
      seconds = (info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
      return true;
    case kLastAccessTime:
      seconds = info.stx_atime.tv_sec;
      return true;
    case kLastWriteTime:
      seconds = info.stx_mtime.tv_sec;
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string FormatFileTime(const std::tm& time, int32_t parts, int32_t style) {
  const std::string year = ZeroPadded(time.tm_year + 1900, 4);
  const std::string month = ZeroPadded(time.tm_mon + 1, 2);
  const std::string day = ZeroPadded(time.tm_mday, 2);
  const std::string hour = ZeroPadded(time.tm_hour, 2);
  const std::string minute = ZeroPadded(time.tm_min, 2);
  const std::string second = ZeroPadded(time.tm_sec, 2);

  std::string text;
  if ((parts & kDatePart) != 0) {
    if (style == 1) {
      text = year + "/" + month + "/" + day;
    } else if (style == 2) {
      text = year + "年" + month + "月" + day + "日";
    } else {
      text = year + month + day;
    }
  }
  if ((parts & kTimePart) != 0) {
    if (!text.empty() && style != 0) text += " ";
    if (style == 1) {
      text += hour + ":" + minute + ":" + second;
    } else if (style == 2) {
      text += hour + "時" + minute + "分" + second + "秒";
    } else {
      text += hour + minute + second;
    }
  }
  return text;
}

std::string FileDateText(const std::string& path, int32_t which, int32_t parts, int32_t style) {
  std::string text;
  TrapErrors([&] {
    std::time_t seconds = 0;
    if (!ReadFileTime(path, which, seconds)) return;
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) return;
    text = FormatFileTime(local, parts, style);
  });
  return text;
}

}  // namespace ampora
