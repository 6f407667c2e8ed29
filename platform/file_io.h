// Files: open an existing file for reading, create one for writing, position, read,
// write, date and close them.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

// Opens an existing file for reading only, sharing it for reading and writing, with a
// hint that it is read front to back. Returns nullptr when the file cannot be opened.
File OpenForReading(const char* path);

// Moves the file position to `offset` bytes from the start. A position past the end is
// allowed; reads there deliver 0 bytes.
bool SeekFromStart(File file, uint32_t offset);

// Reads up to `count` bytes into `buffer` (which holds at least `count` bytes) from the
// file position and advances it. On true *got is the number of bytes read: fewer than
// `count` only at the end of the file. On false the read failed and *got is 0.
bool ReadFromFile(File file, void* buffer, uint32_t count, uint32_t* got);

// Why CreateForWriting gave no file.
enum class CreateRefusal {
  kNone,
  kCannotOpen,  // in use, read-only, a folder, its folder missing, ...
  kLink,        // a link, or a file with more than one name: see IsLink
};

// Creates `path` for writing: write access, no sharing, an existing file truncated, a
// new one made, normal attributes, sequential-scan hint. A link is never written through:
// when `path` is a reparse point or a file with more than one name, nothing is changed
// and the result is nullptr with *refusal kLink. The entry is judged through the handle
// opened on it, so a link put in its place after a check still cannot lead elsewhere.
// Returns nullptr, with *refusal kCannotOpen, when the file cannot be created. `refusal`
// may be nullptr.
File CreateForWriting(const char* path, CreateRefusal* refusal = nullptr);

// Creates `path` as a new file, as CreateForWriting does, but fails when anything, a
// link included, already stands under the name: whatever is there is never opened.
File CreateNewForWriting(const char* path);

// Writes `count` bytes at the file position. On true *written is the number of bytes
// written; fewer than `count` means the disk is full.
bool WriteToFile(File file, const void* buffer, uint32_t count, uint32_t* written);

// A FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
struct FileTime {
  uint32_t low;
  uint32_t high;
};

// Sets the file's last-write time; creation and last-access times stay.
bool SetLastWriteTime(File file, FileTime time);

// Closes the file; nullptr is ignored.
void CloseFile(File file);

}  // namespace platform
