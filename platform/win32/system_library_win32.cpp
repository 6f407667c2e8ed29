// System DLLs loaded by full path or through the manifest's binding, and the few
// functions the stub calls in them.
#include "platform/win32/system_library_win32.h"

#include <string.h>

#include "platform/win32/system_export_win32.h"

namespace platform {
namespace {

const char kCommonControls[] = "comctl32.dll";

using InitializeControls = void(WINAPI*)();
using PropertySheetFunction = INT_PTR(WINAPI*)(const void* header);

HMODULE g_commonControls;
bool g_commonControlsTried;

template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
  FARPROC address = module != nullptr ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// Whether the program's manifest binds `name` to a side-by-side assembly: Windows then
// loads it from there, whatever the folders, when it is named without a path. Windows 9x
// and 2000 have no such binding (nor the function that tells).
bool ManifestBinds(const char* name) {
  const auto find = SystemExport<decltype(&FindActCtxSectionStringA)>(
      "kernel32.dll", "FindActCtxSectionStringA");
  if (find == nullptr) return false;
  ACTCTX_SECTION_KEYED_DATA found;
  memset(&found, 0, sizeof found);
  found.cbSize = sizeof found;
  return find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &found) != FALSE;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const size_t nameLength = strlen(name);
  if (length == 0 || length + 1 + nameLength >= sizeof path) return nullptr;
  path[length] = '\\';
  memcpy(path + length + 1, name, nameLength + 1);
  return LoadLibraryA(path);
}

bool LoadCommonControls() {
  if (!g_commonControlsTried) {
    g_commonControlsTried = true;
    // By its name the manifest's version 6 is loaded (a full path would bypass the
    // binding and give the old controls); without a binding, only the system's own.
    g_commonControls = ManifestBinds(kCommonControls) ? LoadLibraryA(kCommonControls)
                                                      : LoadSystemLibrary(kCommonControls);
    const InitializeControls initialize =
        ExportOf<InitializeControls>(g_commonControls, "InitCommonControls");
    if (initialize != nullptr) initialize();
  }
  return g_commonControls != nullptr;
}

INT_PTR ShowPropertySheet(const void* header) {
  const PropertySheetFunction show =
      LoadCommonControls() ? ExportOf<PropertySheetFunction>(g_commonControls, "PropertySheetA")
                           : nullptr;
  return show != nullptr ? show(header) : -1;
}

}  // namespace platform
