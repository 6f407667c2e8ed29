// Helpers of the Win32 side.
#include "win32_support.h"

#include <errno.h>
#include <string.h>

namespace host {

namespace {

// The errors a user meets every day get the words the POSIX side gives them, so that
// twk's messages read the same on both systems; the rest keep Windows' own.
int PosixErrorOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    default:
      return 0;
  }
}

std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : std::string();
  LocalFree(text);
  // "The process cannot access the file ... process.\r\n": no line end or full stop inside
  // a twk message.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "Windows error " + std::to_string(error);
  return message;
}

}  // namespace

bool FailWith(DWORD error, Failure* failure) {
  const int posix = PosixErrorOf(error);
  failure->missing = posix == ENOENT;
  failure->exists = posix == EEXIST;
  failure->reason = posix != 0 ? strerror(posix) : SystemMessage(error);
  return false;
}

bool FailWithLastError(Failure* failure) {
  return FailWith(GetLastError(), failure);
}

FileTime FileTimeOf(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FiletimeOf(FileTime time) {
  FILETIME filetime;
  filetime.dwLowDateTime = static_cast<DWORD>(time);
  filetime.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return filetime;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':') {
    return folder + name;
  }
  return folder + "\\" + name;
}

bool FactsOfHandle(HANDLE handle, bool linkItself, FileFacts* facts, Failure* failure) {
  *facts = FileFacts();
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_CHAR:
      facts->kind = FileKind::kCharacterDevice;
      return true;
    case FILE_TYPE_PIPE:
      facts->kind = FileKind::kFifo;
      return true;
    default:
      if (GetLastError() != NO_ERROR) return FailWithLastError(failure);
      facts->kind = FileKind::kOther;
      return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return FailWithLastError(failure);
  if (linkItself && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    facts->kind = FileKind::kLink;
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    facts->kind = FileKind::kFolder;
  } else {
    facts->kind = FileKind::kRegular;
  }
  facts->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts->modified = FileTimeOf(info.ftLastWriteTime);
  return true;
}

}  // namespace host
