// Extraction output confined to one folder: every folder from the root down opened by
// the host seam without following links, files written under a temporary name and
// renamed when complete.
#include "twk/reader/reader_safe_writer.h"

#include <stdexcept>

#include "host/host_process.h"

namespace {

std::runtime_error SystemFailure(const std::string& what, const host::Failure& failure) {
  return std::runtime_error(what + ": " + failure.reason);
}

// Opens (creating when missing) the folder `name` inside `parent`. Never follows a
// symbolic link: one in its place is refused.
host::HeldFolder OpenChildFolder(const host::HeldFolder& parent, const std::string& name,
                                 const std::string& shown) {
  host::HeldFolder child;
  host::Failure failure;
  switch (parent.OpenChild(name, &child, &failure)) {
    case host::HeldFolder::ChildStatus::kOk:
      return child;
    case host::HeldFolder::ChildStatus::kNotAFolder:
      throw std::runtime_error(shown + " is a symbolic link or not a folder; refusing to "
                               "write through it");
    case host::HeldFolder::ChildStatus::kNotCreated:
      throw SystemFailure("cannot create folder " + shown, failure);
    case host::HeldFolder::ChildStatus::kNotOpened:
      break;
  }
  throw SystemFailure("cannot open folder " + shown, failure);
}

}  // namespace

PendingFile::PendingFile(host::HeldFolder folder, std::string temporaryName,
                         std::string finalName, host::File file, std::string label)
    : folder_(std::move(folder)),
      temporaryName_(std::move(temporaryName)),
      finalName_(std::move(finalName)),
      file_(std::move(file)),
      label_(std::move(label)) {}

PendingFile::~PendingFile() {
  if (!committed_) Discard();
}

void PendingFile::Discard() {
  file_ = host::File();
  folder_.Remove(temporaryName_);
}

void PendingFile::Write(const uint8_t* bytes, size_t count) {
  host::Failure failure;
  if (!file_.Write(bytes, count, &failure)) throw SystemFailure("cannot write " + label_, failure);
}

bool PendingFile::Commit(uint64_t fileTime) {
  host::Failure failure;
  const bool timeSet = file_.SetModified(fileTime, &failure);
  if (!file_.Close(&failure)) {
    folder_.Remove(temporaryName_);
    throw SystemFailure("cannot write " + label_, failure);
  }
  // The rename replaces a symbolic link in the final place itself, never what it points to.
  if (!folder_.Rename(temporaryName_, finalName_, &failure)) {
    folder_.Remove(temporaryName_);
    throw SystemFailure("cannot create " + label_, failure);
  }
  committed_ = true;
  return timeSet;
}

OutputTree::OutputTree(const std::string& root) : root_(root) {
  host::Failure failure;
  if (!host::HeldFolder::Open(root, &rootFolder_, &failure)) {
    throw SystemFailure("cannot open output folder " + root, failure);
  }
}

std::unique_ptr<PendingFile> OutputTree::Begin(const std::vector<std::string>& components) {
  if (components.empty()) throw std::runtime_error("no file name");
  std::string shown = root_;
  host::HeldFolder folder;
  host::Failure failure;
  if (!rootFolder_.Duplicate(&folder, &failure)) {
    throw SystemFailure("cannot open output folder " + root_, failure);
  }
  for (size_t i = 0; i + 1 < components.size(); ++i) {
    shown += "/" + components[i];
    folder = OpenChildFolder(folder, components[i], shown);
  }
  const std::string label = shown + "/" + components.back();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = ".twk-extract-" + std::to_string(host::ProcessId()) + "-" +
                                  std::to_string(++temporaryCounter_) + ".part";
    host::File file;
    failure = host::Failure();
    if (folder.CreateNewFile(temporary, &file, &failure)) {
      return std::make_unique<PendingFile>(std::move(folder), temporary, components.back(),
                                           std::move(file), label);
    }
    if (!failure.exists) break;
  }
  throw SystemFailure("cannot create " + label, failure);
}
