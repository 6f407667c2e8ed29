// Shell links through the shell's link object (COM), over the ANSI Win32 API.
#include "platform/system.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

namespace platform {

bool SaveShellLink(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))) ||
      link == nullptr) {
    return false;
  }
  // The setters' results are not looked at: a link saved with what they took is still
  // better than none, and Save reports whether the file was written.
  link->SetPath(target);
  link->SetArguments(arguments);
  link->SetWorkingDirectory(workingFolder);
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      file != nullptr) {
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0) {
      saved = SUCCEEDED(file->Save(widePath, TRUE));
    }
    file->Release();
  }
  link->Release();
  return saved;
}

}  // namespace platform
