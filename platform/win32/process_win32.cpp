// The running process over the ANSI Win32 API.
#include "platform/process.h"

#include <windows.h>

namespace platform {

bool GetModulePath(char* buffer, uint32_t size) {
  if (size == 0) return false;
  DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  // A path that fills the whole buffer was cut off; Windows XP then leaves it without
  // its NUL, later versions with one. Either way it names the wrong file.
  if (length == 0 || length >= size) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

void ExitProcessNow(uint32_t code) { ExitProcess(code); }

}  // namespace platform
