// The folder seam over POSIX: readdir, and descriptors of folders opened with O_NOFOLLOW
// from the output folder down.
#include "host/host_folder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "posix_support.h"

namespace host {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

}  // namespace

bool CreateFolders(const std::string& path, Failure* failure) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (std::filesystem::is_directory(path)) return true;
  errno = error ? error.value() : ENOTDIR;
  return FailWithErrno(failure);
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names, Failure* failure) {
  names->clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return FailWithErrno(failure);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names->push_back(name);
  }
  closedir(dir);
  return true;
}

HeldFolder::~HeldFolder() {
  if (native_ != kNone) close(static_cast<int>(native_));
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : native_(other.native_), path_(std::move(other.path_)) {
  other.native_ = kNone;
}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    if (native_ != kNone) close(static_cast<int>(native_));
    native_ = other.native_;
    path_ = std::move(other.path_);
    other.native_ = kNone;
  }
  return *this;
}

bool HeldFolder::Open(const std::string& path, HeldFolder* folder, Failure* failure) {
  // A failure to create shows in the open that follows, with the reason that matters.
  std::error_code ignored;
  std::filesystem::create_directories(path, ignored);
  const int fd = open(path.c_str(), kFolderFlags);
  if (fd < 0) return FailWithErrno(failure);
  *folder = HeldFolder();
  folder->native_ = fd;
  folder->path_ = path;
  return true;
}

HeldFolder::ChildStatus HeldFolder::OpenChild(const std::string& name, HeldFolder* child,
                                              Failure* failure) const {
  const int parent = static_cast<int>(native_);
  int fd = openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
  if (fd < 0 && errno == ENOENT) {
    if (mkdirat(parent, name.c_str(), 0755) != 0 && errno != EEXIST) {
      FailWithErrno(failure);
      return ChildStatus::kNotCreated;
    }
    fd = openat(parent, name.c_str(), kFolderFlags | O_NOFOLLOW);
  }
  if (fd < 0) {
    const bool notAFolder = errno == ELOOP || errno == ENOTDIR;
    FailWithErrno(failure);
    return notAFolder ? ChildStatus::kNotAFolder : ChildStatus::kNotOpened;
  }
  *child = HeldFolder();
  child->native_ = fd;
  child->path_ = path_ + "/" + name;
  return ChildStatus::kOk;
}

bool HeldFolder::CreateNewFile(const std::string& name, File* file, Failure* failure) const {
  return CreateNewFileAt(static_cast<int>(native_), name, file, failure);
}

bool HeldFolder::Rename(const std::string& from, const std::string& to, Failure* failure) const {
  const int fd = static_cast<int>(native_);
  return renameat(fd, from.c_str(), fd, to.c_str()) == 0 || FailWithErrno(failure);
}

bool HeldFolder::MoveInto(const std::string& from, const HeldFolder& target,
                          const std::string& to, Failure* failure) const {
  return renameat(static_cast<int>(native_), from.c_str(), static_cast<int>(target.native_),
                  to.c_str()) == 0 ||
         FailWithErrno(failure);
}

bool HeldFolder::SetModified(const std::string& name, FileTime time, Failure* failure) const {
  struct timespec times[2];
  times[0] = TimespecOfFileTime(time);
  times[1] = times[0];
  return utimensat(static_cast<int>(native_), name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ||
         FailWithErrno(failure);
}

void HeldFolder::Remove(const std::string& name) const {
  unlinkat(static_cast<int>(native_), name.c_str(), 0);
}

bool HeldFolder::Duplicate(HeldFolder* copy, Failure* failure) const {
  const int fd = dup(static_cast<int>(native_));
  if (fd < 0) return FailWithErrno(failure);
  *copy = HeldFolder();
  copy->native_ = fd;
  copy->path_ = path_;
  return true;
}

}  // namespace host
