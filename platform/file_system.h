// Folders, attributes, searches and names of the file system.
#pragma once

#include <stdint.h>

#include "platform/file_io.h"
#include "platform/handles.h"

namespace platform {

constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeNormal = 0x80;
constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;  // nothing exists under the path

// The attributes of whatever exists under `path`, or kNoAttributes.
uint32_t GetAttributes(const char* path);
// Sets the attributes of a file (kAttributeNormal clears read-only).
bool SetAttributes(const char* path, uint32_t attributes);

// Creates one folder (its parent must exist), default security.
bool CreateFolder(const char* path);
// Removes one folder; fails unless it exists and is empty.
bool RemoveFolder(const char* path);

// Deletes a file; fails when it is in use, read-only or missing.
bool DeleteFileAt(const char* path);
// Renames a file; fails when the new name exists.
bool RenameFile(const char* from, const char* to);
// Copies a file, replacing `to` when it exists.
bool CopyFileTo(const char* from, const char* to);

// One result of a search.
struct FoundFile {
  char name[260];        // the name alone, without its folder
  uint32_t attributes;
  FileTime lastWrite;
};
using Search = void*;  // nullptr = none

// Starts a search for `pattern` (a path, or a folder and a wildcard such as "*.NewTemp")
// and returns the first match in *found, or nullptr when nothing matches.
Search FindFirst(const char* pattern, FoundFile* found);
// The next match; false at the end.
bool FindNext(Search search, FoundFile* found);
// Ends a search; nullptr is ignored.
void FindEnd(Search search);

// GetFullPathName: the full path of `path`, NUL-terminated, in `out` of `size` bytes.
bool GetFullPath(const char* path, char* out, uint32_t size);
// GetShortPathName: the 8.3 form of an existing path.
bool GetShortPath(const char* path, char* out, uint32_t size);

// The current folder of the process.
bool SetCurrentFolder(const char* path);

// GetDiskFreeSpace of a root such as "C:\".
bool GetDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                     uint32_t* freeClusters, uint32_t* totalClusters);

}  // namespace platform
