// Opening and reading input files that must be regular files.
#include "twk/common/input_file.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "no ordinary file";
}

}  // namespace

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

InputStatus InputFile::Fail(InputStatus status, const std::string& problem) {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  problem_ = problem;
  return status;
}

InputStatus InputFile::Open(const std::string& path) {
  if (fd_ >= 0) close(fd_);
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one. It changes
  // nothing for a regular file, the only kind that is kept.
  fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return Fail(InputStatus::kMissing, "does not exist");
    return Fail(InputStatus::kUnreadable, std::string("cannot be opened: ") + strerror(error));
  }
  if (fstat(fd_, &info_) != 0) {
    return Fail(InputStatus::kUnreadable, std::string("cannot be examined: ") + strerror(errno));
  }
  if (!S_ISREG(info_.st_mode)) {
    return Fail(InputStatus::kNotRegular,
                std::string("is not a regular file but ") + KindOf(info_.st_mode));
  }
  const int flags = fcntl(fd_, F_GETFL);
  if (flags >= 0) fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  problem_.clear();
  return InputStatus::kOk;
}

InputStatus InputFile::Read(uint8_t* dest, size_t count, size_t* got) {
  *got = 0;
  while (*got < count) {
    const ssize_t n = read(fd_, dest + *got, count - *got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      problem_ = std::string("cannot be read: ") + strerror(errno);
      return InputStatus::kUnreadable;
    }
    *got += static_cast<size_t>(n);
  }
  return InputStatus::kOk;
}

FILE* InputFile::ReleaseAsStream() {
  FILE* stream = fdopen(fd_, "rb");
  if (stream == nullptr) {
    Fail(InputStatus::kUnreadable, std::string("cannot be read: ") + strerror(errno));
    return nullptr;
  }
  fd_ = -1;
  return stream;
}

InputStatus ReadInputFile(const std::string& path, uint64_t limit, std::string* content,
                          std::string* problem) {
  content->clear();
  InputFile file;
  InputStatus status = file.Open(path);
  const std::string tooLarge = "is larger than " + std::to_string(limit) + " bytes";
  if (status == InputStatus::kOk && file.size() > limit) {
    *problem = tooLarge;
    return InputStatus::kTooLarge;
  }
  // One byte past the bound tells a file that grew while it was read.
  char chunk[65536];
  while (status == InputStatus::kOk) {
    size_t got = 0;
    status = file.Read(reinterpret_cast<uint8_t*>(chunk), sizeof chunk, &got);
    content->append(chunk, got);
    if (content->size() > limit) {
      content->clear();
      *problem = tooLarge;
      return InputStatus::kTooLarge;
    }
    if (got < sizeof chunk) break;
  }
  if (status != InputStatus::kOk) {
    content->clear();
    *problem = file.problem();
  }
  return status;
}
