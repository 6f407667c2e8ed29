// The file seam over the ANSI Win32 API: paths in the ANSI code page, as the installer's
// own texts are.
#include "host/host_file.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <random>

#include "host/host_process.h"
#include "win32_support.h"

namespace host {

namespace {

HANDLE HandleOf(intptr_t native) {
  return reinterpret_cast<HANDLE>(native);
}

intptr_t NativeOf(HANDLE handle) {
  return reinterpret_cast<intptr_t>(handle);
}

// A write of more than this is split: WriteFile and ReadFile count in 32 bits.
constexpr size_t kLargestTransfer = 1u << 30;

// Hands a handle to the C library as a stream of `mode`.
FILE* StreamOfHandle(HANDLE handle, const char* mode, Failure* failure) {
  int flags = std::strchr(mode, '+') != nullptr ? _O_RDWR
              : mode[0] == 'r'                  ? _O_RDONLY
                                                : _O_WRONLY;
  if (std::strchr(mode, 'b') != nullptr) flags |= _O_BINARY;
  const int fd = _open_osfhandle(NativeOf(handle), flags);
  if (fd < 0) {
    CloseHandle(handle);
    failure->reason = "the C library takes no more files";
    return nullptr;
  }
  FILE* stream = _fdopen(fd, mode);
  if (stream == nullptr) {
    _close(fd);
    failure->reason = "the C library takes no more files";
  }
  return stream;
}

}  // namespace

File::~File() {
  if (native_ != kNone) CloseHandle(HandleOf(native_));
}

File::File(File&& other) noexcept : native_(other.native_) {
  other.native_ = kNone;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (native_ != kNone) CloseHandle(HandleOf(native_));
    native_ = other.native_;
    other.native_ = kNone;
  }
  return *this;
}

bool File::Facts(FileFacts* facts, Failure* failure) const {
  return FactsOfHandle(HandleOf(native_), false, facts, failure);
}

bool File::Read(void* dest, size_t count, size_t* got, Failure* failure) {
  *got = 0;
  while (*got < count) {
    const size_t want = count - *got < kLargestTransfer ? count - *got : kLargestTransfer;
    DWORD read = 0;
    if (!ReadFile(HandleOf(native_), static_cast<char*>(dest) + *got, static_cast<DWORD>(want),
                  &read, nullptr)) {
      if (GetLastError() == ERROR_BROKEN_PIPE) break;  // the writer has gone: the end
      return FailWithLastError(failure);
    }
    if (read == 0) break;
    *got += read;
  }
  return true;
}

bool File::Write(const void* bytes, size_t count, Failure* failure) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const size_t part = count < kLargestTransfer ? count : kLargestTransfer;
    DWORD written = 0;
    if (!WriteFile(HandleOf(native_), next, static_cast<DWORD>(part), &written, nullptr)) {
      return FailWithLastError(failure);
    }
    next += written;
    count -= written;
  }
  return true;
}

bool File::SetModified(FileTime time, Failure* failure) {
  const FILETIME filetime = FiletimeOf(time);
  return SetFileTime(HandleOf(native_), nullptr, &filetime, &filetime) ||
         FailWithLastError(failure);
}

bool File::Close(Failure* failure) {
  const HANDLE handle = HandleOf(native_);
  native_ = kNone;
  return CloseHandle(handle) || FailWithLastError(failure);
}

FILE* File::ReleaseAsStream(const char* mode, Failure* failure) {
  const HANDLE handle = HandleOf(native_);
  native_ = kNone;
  return StreamOfHandle(handle, mode, failure);
}

bool OpenForReading(const std::string& path, File* file, Failure* failure) {
  // FILE_FLAG_BACKUP_SEMANTICS opens a folder too, so that it is refused by its kind, as
  // on POSIX, rather than with "access denied". Others may go on reading, writing,
  // renaming or deleting the file meanwhile: POSIX lets them, and twk only reads.
  const HANDLE handle = CreateFileA(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  *file = File::Adopt(NativeOf(handle));
  return true;
}

bool CreateNewFile(const std::string& path, File* file, Failure* failure) {
  // CREATE_NEW alone would create the target of a dangling symbolic link standing under
  // the name; FILE_FLAG_OPEN_REPARSE_POINT makes the link itself the name that exists.
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError(failure);
  *file = File::Adopt(NativeOf(handle));
  return true;
}

FILE* OpenScratchFile(Failure* failure) {
  // The C library's tmpfile() puts its file at the root of the current drive, which a
  // user may not write to; the user's folder for temporary files is the place.
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) {
    FailWithLastError(failure);
    return nullptr;
  }
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = JoinPath(folder, "twk-" + std::to_string(ProcessId()) + "-" +
                                                  std::to_string(random() % 1000000000u) + ".tmp");
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return StreamOfHandle(handle, "w+b", failure);
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  FailWithLastError(failure);
  return nullptr;
}

FileFacts FactsOf(const std::string& path, bool followLinks) {
  FileFacts facts;
  if (!followLinks) {
    // What the name itself is: the directory entry's attributes, a link's own included.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return facts;
    facts.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::kLink
                 : (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)  ? FileKind::kFolder
                                                                       : FileKind::kRegular;
    facts.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.modified = FileTimeOf(data.ftLastWriteTime);
    return facts;
  }
  // Asking for the attributes only is not refused by how others share the file.
  const HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return facts;
  Failure ignored;
  if (!FactsOfHandle(handle, false, &facts, &ignored)) facts = FileFacts();
  CloseHandle(handle);
  return facts;
}

bool SetModified(const std::string& path, FileTime time) {
  const HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const FILETIME filetime = FiletimeOf(time);
  const bool set = SetFileTime(handle, nullptr, nullptr, &filetime) != 0;
  CloseHandle(handle);
  return set;
}

bool RenameReplacing(const std::string& from, const std::string& to, Failure* failure) {
  // MoveFileEx replaces a name as rename(2) does, a symbolic link included (never what it
  // points to), but it answers "access denied" where POSIX goes on or says why: for a
  // read-only file, which POSIX replaces when the folder may be written (the mark is taken
  // off first, and put back if the move still fails), for a folder, and for a file that
  // another program holds open without sharing it for deletion, which stays an error.
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return true;
  DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES) {
    return FailWith(error, failure);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    failure->reason = strerror(EISDIR);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) &&
      SetFileAttributesA(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
    if (MoveFileExA(from.c_str(), to.c_str(), flags)) return true;
    error = GetLastError();
    SetFileAttributesA(to.c_str(), attributes);
  }
  // Whether a program holds it: opening it for deletion as the move would, sharing all.
  const HANDLE probe = CreateFileA(to.c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
    return FailWith(ERROR_SHARING_VIOLATION, failure);
  }
  if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
  return FailWith(error, failure);
}

bool RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

FILE* OpenStream(const std::filesystem::path& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
}

}  // namespace host
