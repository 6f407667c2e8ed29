// Version resources over the ANSI version library, which is loaded from the system folder
// when first needed: it is not one of the DLLs that Windows always takes from there.
#include "platform/version_info.h"

#include <windows.h>

#include "platform/win32/system_library_win32.h"

namespace platform {
namespace {

struct VersionLibrary {
  decltype(&GetFileVersionInfoSizeA) size;
  decltype(&GetFileVersionInfoA) get;
  decltype(&VerQueryValueA) query;
};

VersionLibrary g_version;
bool g_versionTried;

template <typename Function>
void Find(HMODULE module, const char* name, Function* function) {
  FARPROC address = GetProcAddress(module, name);
  *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The library's functions; all nullptr when it cannot be loaded. A file's version is then
// unknown, as for a file without a version resource.
const VersionLibrary& Version() {
  if (!g_versionTried) {
    g_versionTried = true;
    HMODULE module = LoadSystemLibrary("version.dll");
    if (module != nullptr) {
      Find(module, "GetFileVersionInfoSizeA", &g_version.size);
      Find(module, "GetFileVersionInfoA", &g_version.get);
      Find(module, "VerQueryValueA", &g_version.query);
    }
  }
  return g_version;
}

}  // namespace

uint32_t GetVersionInfoSize(const char* path) {
  DWORD ignored = 0;
  const VersionLibrary& version = Version();
  return version.size != nullptr ? version.size(path, &ignored) : 0;
}

bool GetVersionInfo(const char* path, uint32_t size, void* data) {
  const VersionLibrary& version = Version();
  return version.get != nullptr && version.get(path, 0, size, data) != FALSE;
}

bool QueryVersionValue(const void* data, const char* subBlock, const void** value,
                       uint32_t* length) {
  const VersionLibrary& version = Version();
  void* found = nullptr;
  UINT foundLength = 0;
  if (version.query == nullptr || !version.query(data, subBlock, &found, &foundLength)) {
    return false;
  }
  *value = found;
  *length = foundLength;
  return true;
}

}  // namespace platform
