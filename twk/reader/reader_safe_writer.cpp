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
    : owned_(std::move(folder)),
      folder_(&owned_),
      temporaryName_(std::move(temporaryName)),
      finalName_(std::move(finalName)),
      file_(std::move(file)),
      label_(std::move(label)) {}

PendingFile::PendingFile(const host::HeldFolder* root, std::string temporaryName,
                         host::File file, std::string label)
    : folder_(root),
      temporaryName_(std::move(temporaryName)),
      file_(std::move(file)),
      label_(std::move(label)) {}

PendingFile::~PendingFile() {
  if (!committed_) Discard();
}

void PendingFile::Discard() {
  file_ = host::File();
  folder_->Remove(temporaryName_);
}

void PendingFile::Write(const uint8_t* bytes, size_t count) {
  host::Failure failure;
  if (!file_.Write(bytes, count, &failure)) throw SystemFailure("cannot write " + label_, failure);
}

bool PendingFile::Commit(uint64_t fileTime) {
  host::Failure failure;
  const bool timeSet = file_.SetModified(fileTime, &failure);
  if (!file_.Close(&failure)) {
    folder_->Remove(temporaryName_);
    throw SystemFailure("cannot write " + label_, failure);
  }
  // The rename replaces a symbolic link in the final place itself, never what it points to.
  if (!folder_->Rename(temporaryName_, finalName_, &failure)) {
    folder_->Remove(temporaryName_);
    throw SystemFailure("cannot create " + label_, failure);
  }
  committed_ = true;
  return timeSet;
}

void PendingFile::Close() {
  host::Failure failure;
  if (!file_.Close(&failure)) throw SystemFailure("cannot write " + label_, failure);
}

OutputTree::OutputTree(const std::string& root) : root_(root) {
  host::Failure failure;
  if (!host::HeldFolder::Open(root, &rootFolder_, &failure)) {
    throw SystemFailure("cannot open output folder " + root, failure);
  }
}

host::HeldFolder OutputTree::OpenFolderOf(const std::vector<std::string>& components,
                                          std::string* shown) {
  if (components.empty()) throw std::runtime_error("no file name");
  *shown = root_;
  host::HeldFolder folder;
  host::Failure failure;
  if (!rootFolder_.Duplicate(&folder, &failure)) {
    throw SystemFailure("cannot open output folder " + root_, failure);
  }
  for (size_t i = 0; i + 1 < components.size(); ++i) {
    *shown += "/" + components[i];
    folder = OpenChildFolder(folder, components[i], *shown);
  }
  return folder;
}

// A file named by this program alone in `folder` (nullptr: the root, for a staged file).
std::unique_ptr<PendingFile> OutputTree::CreateTemporary(host::HeldFolder* folder,
                                                         const std::string& finalName,
                                                         const std::string& label) {
  const host::HeldFolder& in = folder != nullptr ? *folder : rootFolder_;
  host::Failure failure;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = ".twk-extract-" + std::to_string(host::ProcessId()) + "-" +
                                  std::to_string(++temporaryCounter_) + ".part";
    host::File file;
    failure = host::Failure();
    if (in.CreateNewFile(temporary, &file, &failure)) {
      if (folder == nullptr) {
        return std::make_unique<PendingFile>(&rootFolder_, temporary, std::move(file), label);
      }
      return std::make_unique<PendingFile>(std::move(*folder), temporary, finalName,
                                           std::move(file), label);
    }
    if (!failure.exists) break;
  }
  throw SystemFailure("cannot create " + label, failure);
}

std::unique_ptr<PendingFile> OutputTree::Begin(const std::vector<std::string>& components) {
  std::string shown;
  host::HeldFolder folder = OpenFolderOf(components, &shown);
  return CreateTemporary(&folder, components.back(), shown + "/" + components.back());
}

std::unique_ptr<PendingFile> OutputTree::BeginStaged(const std::string& label) {
  return CreateTemporary(nullptr, std::string(), root_ + "/" + label);
}

bool OutputTree::Place(PendingFile& staged, const std::vector<std::string>& components,
                       uint64_t fileTime) {
  std::string shown;
  const host::HeldFolder folder = OpenFolderOf(components, &shown);
  staged.label_ = shown + "/" + components.back();
  host::Failure failure;
  // The temporary name is this program's own; neither call follows a link put there.
  const bool timeSet = rootFolder_.SetModified(staged.temporaryName_, fileTime, &failure);
  if (!rootFolder_.MoveInto(staged.temporaryName_, folder, components.back(), &failure)) {
    throw SystemFailure("cannot create " + staged.label_, failure);
  }
  staged.committed_ = true;
  return timeSet;
}
