// The folder seam over the ANSI Win32 API. Windows has no openat: a child is reached by
// its path, while every folder from the output folder down is held by a handle that does
// not share deletion, so that none of them can be renamed, removed or swapped for a link
// until the extraction lets go of it.
#include "host/host_folder.h"

#include "win32_support.h"

namespace host {

namespace {

HANDLE HandleOf(intptr_t native) {
  return reinterpret_cast<HANDLE>(native);
}

intptr_t NativeOf(HANDLE handle) {
  return reinterpret_cast<intptr_t>(handle);
}

// Opens the folder `path` to hold it; with `linkItself`, a link standing there is opened
// instead of followed.
HANDLE OpenFolder(const std::string& path, bool linkItself) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (linkItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Whether the folder held by `handle` at `path` is a plain folder. With `linkItself` a
// link is no folder: Windows says so of the handle, Wine only of the path (its handles of
// a link opened as such look like the folder it leads to). The path still names what the
// handle holds: held without sharing deletion, it cannot be renamed or replaced.
bool IsFolderItself(HANDLE handle, const std::string& path, bool linkItself) {
  FileFacts facts;
  Failure ignored;
  if (!FactsOfHandle(handle, linkItself, &facts, &ignored) || facts.kind != FileKind::kFolder) {
    return false;
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(linkItself && (attributes & FILE_ATTRIBUTE_REPARSE_POINT));
}

}  // namespace

bool CreateFolders(const std::string& path, Failure* failure) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  // The folder above first; a drive ("C:\", "C:") or a share's root ends the climb.
  size_t end = path.find_last_of("\\/");
  while (end != std::string::npos && end > 0 && (path[end - 1] == '\\' || path[end - 1] == '/')) {
    --end;
  }
  if (end != std::string::npos && end > 0 && path[end - 1] != ':') {
    if (!CreateFolders(path.substr(0, end), failure)) return false;
  }
  if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    const DWORD now = GetFileAttributesA(path.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY)) return true;
    return FailWith(ERROR_DIRECTORY, failure);
  }
  return FailWithLastError(failure);
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names, Failure* failure) {
  names->clear();
  WIN32_FIND_DATAA found;
  // FindExInfoBasic: no short names are looked up; the matching is twk's own, so "*"
  // lists every name, and no 8.3 alias can make a pattern match a long name.
  const HANDLE search = FindFirstFileExA(JoinPath(folder, "*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    // An empty drive has not even "." and "..".
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (GetLastError() == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return true;
    }
    return FailWithLastError(failure);
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names->push_back(name);
  } while (FindNextFileA(search, &found));
  const DWORD error = GetLastError();
  FindClose(search);
  return error == ERROR_NO_MORE_FILES || FailWith(error, failure);
}

HeldFolder::~HeldFolder() {
  if (native_ != kNone) CloseHandle(HandleOf(native_));
}

HeldFolder::HeldFolder(HeldFolder&& other) noexcept
    : native_(other.native_), path_(std::move(other.path_)) {
  other.native_ = kNone;
}

HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept {
  if (this != &other) {
    if (native_ != kNone) CloseHandle(HandleOf(native_));
    native_ = other.native_;
    path_ = std::move(other.path_);
    other.native_ = kNone;
  }
  return *this;
}

bool HeldFolder::Open(const std::string& path, HeldFolder* folder, Failure* failure) {
  // A failure to create shows in the open that follows, with the reason that matters.
  Failure ignored;
  CreateFolders(path, &ignored);
  const HANDLE handle = OpenFolder(path, false);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  if (!IsFolderItself(handle, path, false)) {
    CloseHandle(handle);
    return FailWith(ERROR_DIRECTORY, failure);
  }
  *folder = HeldFolder();
  folder->native_ = NativeOf(handle);
  folder->path_ = path;
  return true;
}

HeldFolder::ChildStatus HeldFolder::OpenChild(const std::string& name, HeldFolder* child,
                                              Failure* failure) const {
  const std::string path = JoinPath(path_, name);
  HANDLE handle = OpenFolder(path, true);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      FailWithLastError(failure);
      return ChildStatus::kNotCreated;
    }
    handle = OpenFolder(path, true);
  }
  if (handle == INVALID_HANDLE_VALUE) {
    FailWithLastError(failure);
    return ChildStatus::kNotOpened;
  }
  if (!IsFolderItself(handle, path, true)) {
    CloseHandle(handle);
    FailWith(ERROR_DIRECTORY, failure);
    return ChildStatus::kNotAFolder;
  }
  *child = HeldFolder();
  child->native_ = NativeOf(handle);
  child->path_ = path;
  return ChildStatus::kOk;
}

bool HeldFolder::CreateNewFile(const std::string& name, File* file, Failure* failure) const {
  return host::CreateNewFile(JoinPath(path_, name), file, failure);
}

bool HeldFolder::Rename(const std::string& from, const std::string& to, Failure* failure) const {
  return RenameReplacing(JoinPath(path_, from), JoinPath(path_, to), failure);
}

bool HeldFolder::MoveInto(const std::string& from, const HeldFolder& target,
                          const std::string& to, Failure* failure) const {
  return RenameReplacing(JoinPath(path_, from), JoinPath(target.path_, to), failure);
}

bool HeldFolder::SetModified(const std::string& name, FileTime time, Failure* failure) const {
  // FILE_FLAG_OPEN_REPARSE_POINT: a link put in the file's place is opened itself.
  const HANDLE handle = CreateFileA(JoinPath(path_, name).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  const FILETIME filetime = FiletimeOf(time);
  const bool set = SetFileTime(handle, nullptr, &filetime, &filetime) != 0;
  if (!set) FailWithLastError(failure);
  CloseHandle(handle);
  return set;
}

void HeldFolder::Remove(const std::string& name) const {
  DeleteFileA(JoinPath(path_, name).c_str());
}

bool HeldFolder::Duplicate(HeldFolder* copy, Failure* failure) const {
  HANDLE handle = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, HandleOf(native_), process, &handle, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return FailWithLastError(failure);
  }
  *copy = HeldFolder();
  copy->native_ = NativeOf(handle);
  copy->path_ = path_;
  return true;
}

}  // namespace host
