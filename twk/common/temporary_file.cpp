// Fresh temporary files beside an output file.
#include "twk/common/temporary_file.h"

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

FILE* CreateTemporaryBeside(const std::string& path, std::string* temporaryPath,
                            host::Failure* failure) {
  std::random_device random;
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    *temporaryPath = path + kTemporarySuffix + RandomLetters(random);
    host::File file;
    *failure = host::Failure();
    if (!host::CreateNewFile(*temporaryPath, &file, failure)) {
      if (failure->exists) continue;
      return nullptr;
    }
    FILE* stream = file.ReleaseAsStream("wb", failure);
    if (stream == nullptr) host::RemoveFile(*temporaryPath);
    return stream;
  }
  return nullptr;
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::string temporary;
  host::Failure failure;
  FILE* file = CreateTemporaryBeside(path, &temporary, &failure);
  if (file == nullptr) throw std::runtime_error(path + ": cannot be written: " + failure.reason);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  // The rename replaces the name itself: a symbolic link standing there is replaced, and
  // the file it points to is left alone.
  if (std::fclose(file) != 0 || !written ||
      !host::RenameReplacing(temporary, path, &failure)) {
    host::RemoveFile(temporary);
    throw std::runtime_error(path + ": cannot be written" +
                             (failure.reason.empty() ? "" : ": " + failure.reason));
  }
}
