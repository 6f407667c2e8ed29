// Files, as far as the package stream needs them: open an existing file for reading,
// position it, read from it, close it.
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

// Closes the file; nullptr is ignored.
void CloseFile(File file);

}  // namespace platform
