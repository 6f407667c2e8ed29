// What twk needs from the operating system it runs on for files: opening what it reads,
// creating what it writes without following links, and renaming it into place. One
// implementation per system (host/posix/, host/win32/), chosen by the build. Paths are
// the system's narrow strings as the user typed them: bytes on POSIX, text in the ANSI
// code page on Windows (the code page of the installer's own texts).
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <filesystem>
#include <string>

namespace host {

// 100-nanosecond ticks since 1601-01-01 UTC: a FILETIME, the package's unit of time.
using FileTime = uint64_t;

enum class FileKind {
  kMissing,
  kRegular,
  kFolder,
  kLink,
  kFifo,
  kCharacterDevice,
  kBlockDevice,
  kSocket,
  kOther,
};

struct FileFacts {
  FileKind kind = FileKind::kMissing;
  uint64_t size = 0;
  FileTime modified = 0;
};

// Why an operation failed: `missing` when the name (or a folder on its way) does not
// exist, `exists` when a new name was asked for and something stands there, and the
// system's words for it ("No such file or directory").
struct Failure {
  bool missing = false;
  bool exists = false;
  std::string reason;
};

// An open file: a descriptor on POSIX, a HANDLE on Windows. Closed when it goes.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return native_ != kNone; }

  // Of the open file itself, whatever its name leads to now.
  bool Facts(FileFacts* facts, Failure* failure) const;
  // Reads until `count` bytes are in or the file ends; *got says how many arrived.
  bool Read(void* dest, size_t count, size_t* got, Failure* failure);
  // Writes all `count` bytes.
  bool Write(const void* bytes, size_t count, Failure* failure);
  // Sets the modification time (and the access time, which nothing reads).
  bool SetModified(FileTime time, Failure* failure);
  // Closes the file; false when the system reports that a write did not reach it.
  bool Close(Failure* failure);
  // Hands the file over as a stdio stream opened with `mode` ("rb", "wb"); the File is
  // closed afterwards. nullptr when that fails (the file is closed then too).
  FILE* ReleaseAsStream(const char* mode, Failure* failure);

  // For the system's side only.
  static File Adopt(intptr_t native) {
    File file;
    file.native_ = native;
    return file;
  }
  intptr_t native() const { return native_; }

 private:
  static constexpr intptr_t kNone = -1;  // neither a descriptor nor a valid HANDLE
  intptr_t native_ = kNone;
};

// Opens an existing file for reading, following links: what counts is the file reached.
// Never waits (a FIFO without a writer opens at once), and never blocks others from
// reading or writing the file meanwhile.
bool OpenForReading(const std::string& path, File* file, Failure* failure);

// Creates `path` as a new, empty file for writing. Whatever already stands under the name
// (a file, a folder, a symbolic link planted there) is never opened, truncated or
// followed: the call fails with failure->exists instead.
bool CreateNewFile(const std::string& path, File* file, Failure* failure);

// A nameless scratch file for reading and writing, in the system's place for temporary
// files, that disappears when closed.
FILE* OpenScratchFile(Failure* failure);

// What stands at `path`: with `followLinks`, the file a link leads to; otherwise the link.
FileFacts FactsOf(const std::string& path, bool followLinks);

// Sets the modification time of the file at `path`.
bool SetModified(const std::string& path, FileTime time);

// Renames the file `from` to `to`, replacing what stands there as a name: a file, a
// read-only one too, or a symbolic link (never what it points to). Fails when `to` is a
// folder or, on Windows, held open by a program that does not share it.
bool RenameReplacing(const std::string& from, const std::string& to, Failure* failure);

// Removes the file at `path`; false when it could not.
bool RemoveFile(const std::string& path);

// fopen for a std::filesystem path, in the system's own characters of paths (wide ones on
// Windows, where the narrow form of a path may not name the same file).
FILE* OpenStream(const std::filesystem::path& path, const char* mode);

}  // namespace host
