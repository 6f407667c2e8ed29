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

// Creates `path` for writing: write access, no sharing, always created (an existing
// file is truncated), normal attributes, sequential-scan hint. Returns nullptr when the
// file cannot be created (in use, read-only, its folder missing, ...).
File CreateForWriting(const char* path);

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
