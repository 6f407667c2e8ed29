// Opening and reading input files that must be regular files.
#include "twk/common/input_file.h"

namespace {

const char* KindOf(host::FileKind kind) {
  switch (kind) {
    case host::FileKind::kFolder: return "a folder";
    case host::FileKind::kFifo: return "a FIFO";
    case host::FileKind::kCharacterDevice: return "a character device";
    case host::FileKind::kBlockDevice: return "a block device";
    case host::FileKind::kSocket: return "a socket";
    default: return "no ordinary file";
  }
}

}  // namespace

InputFile::~InputFile() = default;

InputStatus InputFile::Fail(InputStatus status, const std::string& problem) {
  file_ = host::File();
  problem_ = problem;
  return status;
}

InputStatus InputFile::Open(const std::string& path) {
  file_ = host::File();
  host::Failure failure;
  if (!host::OpenForReading(path, &file_, &failure)) {
    if (failure.missing) return Fail(InputStatus::kMissing, "does not exist");
    return Fail(InputStatus::kUnreadable, "cannot be opened: " + failure.reason);
  }
  if (!file_.Facts(&facts_, &failure)) {
    return Fail(InputStatus::kUnreadable, "cannot be examined: " + failure.reason);
  }
  if (facts_.kind != host::FileKind::kRegular) {
    return Fail(InputStatus::kNotRegular, std::string("is not a regular file but ") + KindOf(facts_.kind));
  }
  problem_.clear();
  return InputStatus::kOk;
}

InputStatus InputFile::Read(uint8_t* dest, size_t count, size_t* got) {
  host::Failure failure;
  if (!file_.Read(dest, count, got, &failure)) {
    problem_ = "cannot be read: " + failure.reason;
    return InputStatus::kUnreadable;
  }
  return InputStatus::kOk;
}

FILE* InputFile::ReleaseAsStream() {
  host::Failure failure;
  FILE* stream = file_.ReleaseAsStream("rb", &failure);
  if (stream == nullptr) Fail(InputStatus::kUnreadable, "cannot be read: " + failure.reason);
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
