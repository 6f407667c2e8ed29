// Version resources over the ANSI version library.
#include "platform/version_info.h"

#include <windows.h>

namespace platform {

uint32_t GetVersionInfoSize(const char* path) {
  DWORD ignored = 0;
  return GetFileVersionInfoSizeA(path, &ignored);
}

bool GetVersionInfo(const char* path, uint32_t size, void* data) {
  return GetFileVersionInfoA(path, 0, size, data) != FALSE;
}

bool QueryVersionValue(const void* data, const char* subBlock, const void** value,
                       uint32_t* length) {
  void* found = nullptr;
  UINT foundLength = 0;
  if (!VerQueryValueA(data, subBlock, &found, &foundLength)) return false;
  *value = found;
  *length = foundLength;
  return true;
}

}  // namespace platform
