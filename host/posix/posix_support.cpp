// Helpers of the POSIX side.
#include "posix_support.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>

namespace host {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kUnixEpochSeconds = 11644473600;  // 1970-01-01 after 1601-01-01

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISLNK(mode)) return FileKind::kLink;
  if (S_ISFIFO(mode)) return FileKind::kFifo;
  if (S_ISCHR(mode)) return FileKind::kCharacterDevice;
  if (S_ISBLK(mode)) return FileKind::kBlockDevice;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  return FileKind::kOther;
}

}  // namespace

bool FailWithErrno(Failure* failure) {
  const int error = errno;
  failure->missing = error == ENOENT || error == ENOTDIR;
  failure->exists = error == EEXIST;
  failure->reason = strerror(error);
  return false;
}

FileFacts FactsOfStat(const struct stat& info) {
  FileFacts facts;
  facts.kind = KindOfMode(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  const int64_t seconds = info.st_mtim.tv_sec;
  facts.modified = seconds < -kUnixEpochSeconds
                       ? 0
                       : static_cast<uint64_t>(seconds + kUnixEpochSeconds) * kTicksPerSecond +
                             static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100;
  return facts;
}

struct timespec TimespecOfFileTime(FileTime time) {
  struct timespec when;
  when.tv_sec = static_cast<time_t>(static_cast<int64_t>(time / kTicksPerSecond) - kUnixEpochSeconds);
  when.tv_nsec = static_cast<long>(time % kTicksPerSecond) * 100;
  return when;
}

bool CreateNewFileAt(int folder, const std::string& name, File* file, Failure* failure) {
  const int fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return FailWithErrno(failure);
  *file = File::Adopt(fd);
  return true;
}

}  // namespace host
