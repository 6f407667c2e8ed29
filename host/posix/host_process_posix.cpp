// The process seam over POSIX (Linux: the program's path from /proc).
#include "host/host_process.h"

#include <unistd.h>

namespace host {

std::string ProgramPath() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  return length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string();
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(getpid());
}

bool StandardErrorShowsProgress() {
  return isatty(STDERR_FILENO) == 1;
}

size_t NameStart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

bool IsRooted(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

char Separator() {
  return '/';
}

}  // namespace host
