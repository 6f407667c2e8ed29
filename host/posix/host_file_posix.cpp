// The file seam over POSIX: descriptors, O_NOFOLLOW and rename(2).
#include "host/host_file.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "posix_support.h"

namespace host {

File::~File() {
  if (native_ != kNone) close(static_cast<int>(native_));
}

File::File(File&& other) noexcept : native_(other.native_) {
  other.native_ = kNone;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (native_ != kNone) close(static_cast<int>(native_));
    native_ = other.native_;
    other.native_ = kNone;
  }
  return *this;
}

bool File::Facts(FileFacts* facts, Failure* failure) const {
  struct stat info;
  if (fstat(static_cast<int>(native_), &info) != 0) return FailWithErrno(failure);
  *facts = FactsOfStat(info);
  return true;
}

bool File::Read(void* dest, size_t count, size_t* got, Failure* failure) {
  *got = 0;
  while (*got < count) {
    const ssize_t n = read(static_cast<int>(native_), static_cast<char*>(dest) + *got, count - *got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return FailWithErrno(failure);
    }
    *got += static_cast<size_t>(n);
  }
  return true;
}

bool File::Write(const void* bytes, size_t count, Failure* failure) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t written = write(static_cast<int>(native_), next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return FailWithErrno(failure);
    }
    next += written;
    count -= static_cast<size_t>(written);
  }
  return true;
}

bool File::SetModified(FileTime time, Failure* failure) {
  struct timespec times[2];
  times[0] = TimespecOfFileTime(time);
  times[1] = times[0];
  return futimens(static_cast<int>(native_), times) == 0 || FailWithErrno(failure);
}

bool File::Close(Failure* failure) {
  const int fd = static_cast<int>(native_);
  native_ = kNone;
  return close(fd) == 0 || FailWithErrno(failure);
}

FILE* File::ReleaseAsStream(const char* mode, Failure* failure) {
  FILE* stream = fdopen(static_cast<int>(native_), mode);
  if (stream == nullptr) {
    FailWithErrno(failure);
    close(static_cast<int>(native_));
  }
  native_ = kNone;
  return stream;
}

bool OpenForReading(const std::string& path, File* file, Failure* failure) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one. It is taken
  // off again at once, so that reads of a regular file behave as usual.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return FailWithErrno(failure);
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  *file = File::Adopt(fd);
  return true;
}

bool CreateNewFile(const std::string& path, File* file, Failure* failure) {
  return CreateNewFileAt(AT_FDCWD, path, file, failure);
}

FILE* OpenScratchFile(Failure* failure) {
  FILE* file = std::tmpfile();
  if (file == nullptr) FailWithErrno(failure);
  return file;
}

FileFacts FactsOf(const std::string& path, bool followLinks) {
  struct stat info;
  const int result = followLinks ? stat(path.c_str(), &info) : lstat(path.c_str(), &info);
  return result == 0 ? FactsOfStat(info) : FileFacts();
}

bool SetModified(const std::string& path, FileTime time) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the last-access time stays
  times[1] = TimespecOfFileTime(time);
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to, Failure* failure) {
  // rename replaces the name itself: a symbolic link standing there is replaced, and the
  // file it points to is left alone; a read-only file goes as any other.
  return std::rename(from.c_str(), to.c_str()) == 0 || FailWithErrno(failure);
}

bool RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

FILE* OpenStream(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

}  // namespace host
