// The process seam over Win32.
#include "host/host_process.h"

#include <windows.h>

namespace host {

std::string ProgramPath() {
  char path[32768];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

unsigned long ProcessId() {
  return GetCurrentProcessId();
}

bool StandardErrorShowsProgress() {
  // A console draws "ESC [K" only once it is told to; one that cannot be (before
  // Windows 10) would print it, so it shows no progress. A pipe or file shows none either.
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode)) return false;
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
         SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

size_t NameStart(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos) return separator + 1;
  return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

bool IsRooted(const std::string& path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
         (path.size() >= 2 && path[1] == ':');
}

char Separator() {
  return '\\';
}

}  // namespace host
