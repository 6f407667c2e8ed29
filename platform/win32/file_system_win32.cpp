// Folders, attributes, searches and names over the ANSI Win32 API.
#include "platform/file_system.h"

#include <string.h>
#include <windows.h>

#include "platform/system.h"
#include "links_win32.h"
#include "platform/win32/folder_descriptor_win32.h"
#include "platform/win32/system_export_win32.h"

namespace platform {
namespace {

// The answer of the Get...Name calls: the length without the NUL when it fit, the size
// needed with the NUL when it did not, 0 on failure. A cut path names another file.
bool NameFits(DWORD length, char* out, uint32_t size) {
  if (length == 0 || length >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

void CopyFound(const WIN32_FIND_DATAA& data, FoundFile* found) {
  memcpy(found->name, data.cFileName, sizeof found->name);
  found->name[sizeof found->name - 1] = '\0';
  found->attributes = data.dwFileAttributes;
  found->lastWrite.low = data.ftLastWriteTime.dwLowDateTime;
  found->lastWrite.high = data.ftLastWriteTime.dwHighDateTime;
}

}  // namespace

static_assert(sizeof(FoundFile::name) == MAX_PATH, "a found name holds what Windows reports");

uint32_t GetAttributes(const char* path) { return GetFileAttributesA(path); }

bool SetAttributes(const char* path, uint32_t attributes) {
  return SetFileAttributesA(path, attributes) != FALSE;
}

DWORD NoFollowFlag() { return IsNtFamily() ? FILE_FLAG_OPEN_REPARSE_POINT : 0; }

namespace {

// GetFileInformationByHandleEx's classes and answers, as Windows Vista and later define
// them (the headers show them only to programs that need Vista).
constexpr int kStandardInfoClass = 1;
constexpr int kAttributeTagInfoClass = 9;
struct StandardInfo {
  LARGE_INTEGER allocationSize;
  LARGE_INTEGER endOfFile;
  DWORD numberOfLinks;
  BOOLEAN deletePending;
  BOOLEAN directory;
};
struct AttributeTagInfo {
  DWORD attributes;
  DWORD reparseTag;
};
using InformationByHandleEx = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

bool CountsAsLink(DWORD attributes, DWORD links) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
         ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && links > 1);
}

}  // namespace

bool IsLinkHandle(HANDLE handle) {
  // The two classes asked for alone: GetFileInformationByHandle also asks for the
  // volume's serial number, a round trip to the volume's driver (under Wine, to another
  // process) for every file the uninstaller looks at.
  const auto informationEx =
      SystemExport<InformationByHandleEx>("kernel32.dll", "GetFileInformationByHandleEx");
  AttributeTagInfo tag;
  StandardInfo standard;
  // A file system that refuses either class is asked the old way.
  if (informationEx != nullptr &&
      informationEx(handle, kAttributeTagInfoClass, &tag, sizeof tag) &&
      informationEx(handle, kStandardInfoClass, &standard, sizeof standard)) {
    return CountsAsLink(tag.attributes, standard.numberOfLinks);
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return true;
  return CountsAsLink(information.dwFileAttributes, information.nNumberOfLinks);
}

bool IsLink(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  if (!IsNtFamily() || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // No access asked for: attributes can be read whoever holds the file open, in use or
  // not, and the entry's own handle tells its number of names.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool link = IsLinkHandle(handle);
  CloseHandle(handle);
  return link;
}

bool CreateFolder(const char* path, FolderAccess access) {
  // Windows 9x keeps no security, and NT 4 cannot read the descriptor's text: there the
  // folder gets what its parent passes on.
  const ConvertSddl convert =
      access == FolderAccess::kAdministratorsOnly && IsNtFamily() ? SddlConversion() : nullptr;
  if (convert == nullptr) return CreateDirectoryA(path, nullptr) != FALSE;
  return CreateFolderWithSddl(convert, path, kAdministratorsOnlySddl);
}
bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != FALSE; }
bool DeleteFileAt(const char* path) { return DeleteFileA(path) != FALSE; }
bool RenameFile(const char* from, const char* to) { return MoveFileA(from, to) != FALSE; }
bool CopyFileTo(const char* from, const char* to) { return CopyFileA(from, to, FALSE) != FALSE; }

Search FindFirst(const char* pattern, FoundFile* found) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  CopyFound(data, found);
  return search;
}

bool FindNext(Search search, FoundFile* found) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(search, &data)) return false;
  CopyFound(data, found);
  return true;
}

void FindEnd(Search search) {
  if (search != nullptr) FindClose(search);
}

bool GetFullPath(const char* path, char* out, uint32_t size) {
  return NameFits(GetFullPathNameA(path, size, out, nullptr), out, size);
}

bool GetShortPath(const char* path, char* out, uint32_t size) {
  return NameFits(GetShortPathNameA(path, out, size), out, size);
}

bool SetCurrentFolder(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

bool GetDiskGeometry(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                     uint32_t* freeClusters, uint32_t* totalClusters) {
  DWORD sectors = 0, bytes = 0, free = 0, total = 0;
  if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &free, &total)) return false;
  *sectorsPerCluster = sectors;
  *bytesPerSector = bytes;
  *freeClusters = free;
  *totalClusters = total;
  return true;
}

}  // namespace platform
