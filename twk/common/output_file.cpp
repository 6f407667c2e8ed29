// Output files written beside their name and renamed into place.
#include "twk/common/output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <random>
#include <stdexcept>

namespace {

constexpr char kTemporarySuffix[] = ".twk-partial-";
constexpr int kTemporaryAttempts = 100;

std::string RandomLetters(std::random_device& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string letters(8, 'a');
  for (char& letter : letters) letter = kLetters[random() % (sizeof kLetters - 1)];
  return letters;
}

}  // namespace

FILE* CreateTemporaryBeside(const std::string& path, std::string* temporaryPath) {
  std::random_device random;
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    *temporaryPath = path + kTemporarySuffix + RandomLetters(random);
    const int fd = open(temporaryPath->c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
      const int error = errno;
      close(fd);
      unlink(temporaryPath->c_str());
      errno = error;
    }
    return file;
  }
  errno = EEXIST;
  return nullptr;
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::string temporary;
  FILE* file = CreateTemporaryBeside(path, &temporary);
  if (file == nullptr) throw std::runtime_error(path + ": cannot be written: " + strerror(errno));
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int error = errno;
  const bool closed = fclose(file) == 0;
  if (written && !closed) error = errno;
  // rename replaces the name itself: a symbolic link standing there is replaced, and the
  // file it points to is left alone.
  if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
    if (written && closed) error = errno;
    unlink(temporary.c_str());
    throw std::runtime_error(path + ": cannot be written: " + strerror(error));
  }
}
