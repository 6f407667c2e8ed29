// Extraction output confined to one folder: openat/mkdirat from the root down with
// O_NOFOLLOW, files written under a temporary name and renamed when complete.
#include "twk/reader/reader_safe_writer.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "twk/reader/reader_text.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::runtime_error SystemFailure(const std::string& what) {
  return std::runtime_error(what + ": " + strerror(errno));
}

// Opens (creating when missing) the folder `name` inside `parent`. Never follows a
// symbolic link: one in its place is refused.
int OpenChildFolder(int parent, const std::string& name, const std::string& shown) {
  int fd = openat(parent, name.c_str(), kFolderFlags);
  if (fd < 0 && errno == ENOENT) {
    if (mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) {
      throw SystemFailure("cannot create folder " + shown);
    }
    fd = openat(parent, name.c_str(), kFolderFlags);
  }
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR) {
      throw std::runtime_error(shown + " is a symbolic link or not a folder; refusing to "
                               "write through it");
    }
    throw SystemFailure("cannot open folder " + shown);
  }
  return fd;
}

}  // namespace

PendingFile::PendingFile(int folder, bool ownsFolder, std::string temporaryName,
                         std::string finalName, int fd, std::string label)
    : folder_(folder),
      ownsFolder_(ownsFolder),
      temporaryName_(std::move(temporaryName)),
      finalName_(std::move(finalName)),
      fd_(fd),
      label_(std::move(label)) {}

PendingFile::~PendingFile() {
  if (!committed_) Discard();
  if (ownsFolder_) close(folder_);
}

void PendingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  unlinkat(folder_, temporaryName_.c_str(), 0);
}

void PendingFile::Write(const uint8_t* bytes, size_t count) {
  while (count > 0) {
    const ssize_t written = write(fd_, bytes, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw SystemFailure("cannot write " + label_);
    }
    bytes += written;
    count -= static_cast<size_t>(written);
  }
}

void PendingFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) throw SystemFailure("cannot write " + label_);
}

bool PendingFile::Commit(uint64_t fileTime) { return CommitInto(folder_, finalName_, fileTime); }

bool PendingFile::CommitInto(int folder, const std::string& name, uint64_t fileTime) {
  int64_t seconds = 0;
  uint32_t nanoseconds = 0;
  FileTimeToUnix(fileTime, &seconds, &nanoseconds);
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(seconds);
  times[0].tv_nsec = static_cast<long>(nanoseconds);
  times[1] = times[0];
  bool timeSet = false;
  if (fd_ >= 0) {
    timeSet = futimens(fd_, times) == 0;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) throw SystemFailure("cannot write " + label_);
  } else {
    // A staged file, closed: the temporary name is this program's own (O_EXCL).
    timeSet = utimensat(folder_, temporaryName_.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
  }
  // rename replaces a symbolic link in the final place itself, never what it points to.
  if (renameat(folder_, temporaryName_.c_str(), folder, name.c_str()) != 0) {
    throw SystemFailure("cannot create " + label_);
  }
  committed_ = true;
  return timeSet;
}

OutputTree::OutputTree(const std::string& root) : root_(root) {
  std::error_code error;
  std::filesystem::create_directories(root, error);
  rootFd_ = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd_ < 0) throw SystemFailure("cannot open output folder " + root);
}

OutputTree::~OutputTree() {
  if (rootFd_ >= 0) close(rootFd_);
}

int OutputTree::OpenFolderOf(const std::vector<std::string>& components, std::string* shown) {
  if (components.empty()) throw std::runtime_error("no file name");
  *shown = root_;
  int folder = dup(rootFd_);
  if (folder < 0) throw SystemFailure("cannot open output folder " + root_);
  try {
    for (size_t i = 0; i + 1 < components.size(); ++i) {
      *shown += "/" + components[i];
      const int child = OpenChildFolder(folder, components[i], *shown);
      close(folder);
      folder = child;
    }
  } catch (...) {
    close(folder);
    throw;
  }
  return folder;
}

std::unique_ptr<PendingFile> OutputTree::CreateTemporary(int folder, bool ownsFolder,
                                                         const std::string& finalName,
                                                         const std::string& label) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = ".twk-extract-" + std::to_string(getpid()) + "-" +
                                  std::to_string(++temporaryCounter_) + ".part";
    const int fd = openat(folder, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
      return std::make_unique<PendingFile>(folder, ownsFolder, temporary, finalName, fd, label);
    }
    if (errno != EEXIST) break;
  }
  const std::runtime_error failure = SystemFailure("cannot create " + label);
  if (ownsFolder) close(folder);
  throw failure;
}

std::unique_ptr<PendingFile> OutputTree::Begin(const std::vector<std::string>& components) {
  std::string shown;
  const int folder = OpenFolderOf(components, &shown);
  return CreateTemporary(folder, true, components.back(), shown + "/" + components.back());
}

std::unique_ptr<PendingFile> OutputTree::BeginStaged(const std::string& label) {
  return CreateTemporary(rootFd_, false, std::string(), root_ + "/" + label);
}

bool OutputTree::Place(PendingFile& staged, const std::vector<std::string>& components,
                       uint64_t fileTime) {
  std::string shown;
  const int folder = OpenFolderOf(components, &shown);
  staged.label_ = shown + "/" + components.back();
  try {
    const bool timeSet = staged.CommitInto(folder, components.back(), fileTime);
    close(folder);
    return timeSet;
  } catch (...) {
    close(folder);
    throw;
  }
}
