// Folders made with a security descriptor written in SDDL. The conversion is looked up at
// run time: Windows 9x and NT 4 have none, and each caller has its own fallback there.
#pragma once

#include <windows.h>

#include "platform/win32/system_export_win32.h"

namespace platform {

using ConvertSddl = BOOL(WINAPI*)(LPCSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor,
                                  PULONG size);

// ConvertStringSecurityDescriptorToSecurityDescriptorA, or nullptr where Windows lacks it.
inline ConvertSddl SddlConversion() {
  return SystemExport<ConvertSddl>("advapi32.dll",
                                   "ConvertStringSecurityDescriptorToSecurityDescriptorA");
}

// Creates the folder `path` with the descriptor `sddl`. A descriptor that cannot be made
// is no reason to make the folder open to everyone: false, and nothing made. Like every
// CreateDirectory, it fails on a name that is taken, a link's included.
inline bool CreateFolderWithSddl(ConvertSddl convert, const char* path, const char* sddl) {
  constexpr DWORD kSddlRevision1 = 1;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!convert(sddl, kSddlRevision1, &descriptor, nullptr)) return false;
  SECURITY_ATTRIBUTES security;
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = descriptor;
  security.bInheritHandle = FALSE;
  const bool made = CreateDirectoryA(path, &security) != FALSE;
  LocalFree(descriptor);
  return made;
}

}  // namespace platform
