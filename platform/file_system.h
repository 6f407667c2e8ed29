// Folders, attributes, searches and names of the file system.
#pragma once

#include <stdint.h>

#include "platform/file_io.h"
#include "platform/handles.h"

namespace platform {

constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeNormal = 0x80;
// A symbolic link, junction or mount point: Windows follows it to another place.
constexpr uint32_t kAttributeReparsePoint = 0x400;
constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;  // nothing exists under the path

// The attributes of whatever exists under `path`, or kNoAttributes. A link as the last
// component is not followed: its own attributes, with kAttributeReparsePoint.
uint32_t GetAttributes(const char* path);
// Whether `path` itself is a link: a reparse point (symbolic link, junction, mount
// point), or a file with more than one name (a hard link, which shares its bytes with a
// file elsewhere). Looked at through a handle to the entry itself, never what it leads
// to. False when nothing is there.
bool IsLink(const char* path);
// Sets the attributes of a file (kAttributeNormal clears read-only).
bool SetAttributes(const char* path, uint32_t attributes);

// Who may change what a new folder holds.
enum class FolderAccess {
  kInherited,           // what its parent passes on (the default security)
  kAdministratorsOnly,  // kAdministratorsOnlySddl; the parent's entries not inherited
};
// Administrators and SYSTEM: full control; Users: read and run. Folders and files below
// inherit it; the parent's entries are not inherited (a protected DACL). As Windows sets
// up its program-files folder, without the installer service's own entries.
constexpr char kAdministratorsOnlySddl[] =
    "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// Creates one folder (its parent must exist). Windows 9x has no security: `access` is
// ignored there.
bool CreateFolder(const char* path, FolderAccess access);
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
