// Fresh temporary files beside an output file.
#include "twk/common/temporary_file.h"

#include <random>

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
