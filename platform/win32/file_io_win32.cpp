// Files over the ANSI Win32 API.
#include "platform/file_io.h"

#include <windows.h>

#include "links_win32.h"

namespace platform {
namespace {

constexpr DWORD kWriteFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

HANDLE CreateNew(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, kWriteFlags | NoFollowFlag(),
                     nullptr);
}

}  // namespace

File OpenForReading(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
  // The seam's "none" is nullptr, Win32's is INVALID_HANDLE_VALUE; a valid file handle
  // is never NULL.
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool SeekFromStart(File file, uint32_t offset) {
  // Offsets from 2 GiB up do not fit the signed low part alone: pass the high part too,
  // and tell a real failure from a low part that happens to equal the error value.
  LONG high = 0;
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

bool ReadFromFile(File file, void* buffer, uint32_t count, uint32_t* got) {
  DWORD read = 0;
  BOOL ok = ReadFile(file, buffer, count, &read, nullptr);
  *got = ok ? read : 0;
  return ok != FALSE;
}

File CreateForWriting(const char* path, CreateRefusal* refusal) {
  CreateRefusal ignored;
  if (refusal == nullptr) refusal = &ignored;
  *refusal = CreateRefusal::kCannotOpen;
  // CREATE_ALWAYS would write through a link before anything could look at it. The file
  // is opened as it stands instead, link or not, and judged through its handle; only
  // then is it truncated. A missing file is made with CREATE_NEW, which fails on a link
  // that appeared meanwhile: that case is looked at once more.
  for (int attempt = 0; attempt < 2; ++attempt) {
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                kWriteFlags | NoFollowFlag(), nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      if (IsLinkHandle(handle)) {
        CloseHandle(handle);
        *refusal = CreateRefusal::kLink;
        return nullptr;
      }
      if (!SetEndOfFile(handle)) {
        CloseHandle(handle);
        return nullptr;
      }
      *refusal = CreateRefusal::kNone;
      return handle;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return nullptr;
    handle = CreateNew(path);
    if (handle != INVALID_HANDLE_VALUE) {
      *refusal = CreateRefusal::kNone;
      return handle;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
  }
  return nullptr;
}

File CreateNewForWriting(const char* path) {
  HANDLE handle = CreateNew(path);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool WriteToFile(File file, const void* buffer, uint32_t count, uint32_t* written) {
  DWORD put = 0;
  BOOL ok = WriteFile(file, buffer, count, &put, nullptr);
  *written = ok ? put : 0;
  return ok != FALSE;
}

bool SetLastWriteTime(File file, FileTime time) {
  FILETIME lastWrite;
  lastWrite.dwLowDateTime = time.low;
  lastWrite.dwHighDateTime = time.high;
  return SetFileTime(file, nullptr, nullptr, &lastWrite) != FALSE;
}

void CloseFile(File file) {
  if (file != nullptr) CloseHandle(file);
}

}  // namespace platform
