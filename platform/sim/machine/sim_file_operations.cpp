// The disks of the simulated Windows: attributes, folders, deleting, renaming, copying,
// the current folder and the disk geometry.
#include "platform/sim/machine/sim_file_system.h"

#include "platform/sim/machine/windows_path.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

bool IsDriveRoot(const std::string& longPath) { return longPath.size() <= 3; }

}  // namespace

uint32_t SimFileSystem::Attributes(const std::string& windowsPath) const {
  return HostAttributes(HostPath(windowsPath));
}

bool SimFileSystem::IsLink(const std::string& windowsPath) const {
  fs::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty()) return false;
  const fs::file_status own = fs::symlink_status(host, error);
  if (error) return false;
  return fs::is_symlink(own) ||
         (fs::is_regular_file(own) && fs::hard_link_count(host, error) > 1 && !error);
}

bool SimFileSystem::SetAttributes(const std::string& windowsPath, uint32_t attributes) {
  fs::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty() || !fs::exists(host, error)) return false;
  if (fs::is_directory(host, error)) return true;  // a folder's read-only bit means nothing
  const bool readOnly = (attributes & platform::kAttributeReadOnly) != 0;
  fs::permissions(host, fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
  return !error;
}

bool SimFileSystem::MakeFolder(const std::string& windowsPath, platform::FolderAccess access) {
  fs::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty() || IsDriveRoot(LongPath(windowsPath)) ||
      HostAttributes(host) != platform::kNoAttributes || !ParentIsFolder(host)) {
    return false;
  }
  if (!fs::create_directory(host, error) || error) return false;
  if (access == platform::FolderAccess::kAdministratorsOnly) {
    folderSecurity_[Key(windowsPath)] = platform::kAdministratorsOnlySddl;
  }
  return true;
}

std::string SimFileSystem::FolderSecurity(const std::string& windowsPath) const {
  auto found = folderSecurity_.find(Key(windowsPath));
  return found == folderSecurity_.end() ? std::string() : found->second;
}

bool SimFileSystem::RemoveFolder(const std::string& windowsPath) {
  fs::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty() || IsDriveRoot(LongPath(windowsPath)) || !fs::is_directory(host, error) ||
      !fs::is_empty(host, error)) {
    return false;
  }
  // Windows will not remove the current folder of a running process.
  if (Key(windowsPath) == Key(currentFolder_)) return false;
  if (!fs::remove(host, error) || error) return false;
  folderSecurity_.erase(Key(windowsPath));
  return true;
}

bool SimFileSystem::Delete(const std::string& windowsPath) {
  fs::path host = HostPath(windowsPath);
  std::error_code error;
  if (host.empty() || !fs::is_regular_file(host, error) || Blocked(Key(windowsPath)) ||
      (Attributes(windowsPath) & platform::kAttributeReadOnly)) {
    return false;
  }
  if (!fs::remove(host, error) || error) return false;
  inUse_.erase(Key(windowsPath));
  return true;
}

void SimFileSystem::MoveKeyedState(const std::string& fromKey, const std::string& toKey) {
  if (inUse_.erase(fromKey)) inUse_.insert(toKey);
  auto alias = shortNames_.find(fromKey);
  if (alias != shortNames_.end()) {
    std::string shortName = alias->second;
    shortNames_.erase(alias);
    shortNames_[toKey] = shortName;
  }
}

bool SimFileSystem::Rename(const std::string& from, const std::string& to) {
  fs::path fromHost = HostPath(from), toHost = HostPath(to);
  std::error_code error;
  const std::string fromKey = Key(from), toKey = Key(to);
  if (fromHost.empty() || toHost.empty() || !fs::exists(fromHost, error) ||
      !ParentIsFolder(toHost) || HeldOpen(fromKey) || inUse_.count(toKey)) {
    return false;
  }
  // Only a change of letter case may rename a file onto the name it already has.
  if (fs::exists(toHost, error) && fromKey != toKey) return false;
  if (fromKey == toKey) toHost = toHost.parent_path() / SplitComponents(to).back();
  fs::rename(fromHost, toHost, error);
  if (error) return false;
  MoveKeyedState(fromKey, Key(to));
  return true;
}

bool SimFileSystem::Copy(const std::string& from, const std::string& to) {
  fs::path fromHost = HostPath(from), toHost = HostPath(to);
  std::error_code error;
  const std::string toKey = Key(to);
  if (fromHost.empty() || toHost.empty() || !fs::is_regular_file(fromHost, error) ||
      !ParentIsFolder(toHost) || fs::is_directory(toHost, error) || Blocked(toKey)) {
    return false;
  }
  for (const auto& entry : open_) {
    if (entry.second.key == Key(from) && entry.second.writing) return false;
  }
  if (fs::exists(toHost, error) && (Attributes(to) & platform::kAttributeReadOnly)) return false;
  const platform::FileTime time = LastWriteTime(from);
  const uint32_t attributes = Attributes(from);
  fs::copy_file(fromHost, toHost, fs::copy_options::overwrite_existing, error);
  if (error) return false;
  // CopyFile gives the copy the source's last-write time and attributes.
  fs::permissions(toHost, fs::perms::owner_write, fs::perm_options::add, error);
  SetLastWriteTimeOf(to, time);
  SetAttributes(to, attributes);
  return true;
}

bool SimFileSystem::SetCurrent(const std::string& windowsPath) {
  if (!IsFolder(windowsPath)) return false;
  currentFolder_ = LongPath(windowsPath);
  return true;
}

bool SimFileSystem::Geometry(const std::string& root, SimDisk* disk) {
  std::string drive;
  std::vector<std::string> parts;
  if (!SplitFullPath(FullWindowsPath(root, currentFolder_), &drive, &parts) ||
      !IsFolder(drive + "\\")) {
    return false;
  }
  *disk = Disk(drive[0]);
  return true;
}

}  // namespace sim
