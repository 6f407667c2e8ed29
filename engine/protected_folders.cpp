// The folders that Windows and the shell own.
#include "engine/protected_folders.h"

#include <stdlib.h>
#include <string.h>

#include "base/ignore_case.h"
#include "engine/remembered_folders.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

// Shell folders by CSIDL number: the user's and every user's desktop, start menu,
// programs and startup folders, the profile and its documents, application data,
// favourites, recent, send-to and templates folders, fonts, and the shell's own view of
// the Windows, system and program-files folders.
constexpr int kProtectedShellFolders[] = {
    platform::kShellDesktop, platform::kShellPrograms, platform::kShellStartup,
    platform::kShellStartMenu, 0x05, 0x06, 0x08, 0x09, 0x10, 0x14, 0x15, 0x16, 0x17, 0x18,
    0x19, 0x1A, 0x1C, 0x23, 0x24, 0x25, 0x26, 0x28};
constexpr size_t kShellFolderCount = sizeof(kProtectedShellFolders) / sizeof(int);
constexpr size_t kSystemFolderCount = 4;  // Windows, system, temporary, program files
static_assert(kShellFolderCount + kSystemFolderCount <= kMaxProtectedFolders,
              "room for every protected folder");

// The protected folder number `index` as a full path in `out` (kPathBufferSize bytes);
// "" when the system has none.
void ProtectedFolder(size_t index, char* out) {
  char path[kPathBufferSize + 1];
  bool found = false;
  switch (index) {
    case 0: found = platform::GetWindowsFolder(path, kPathBufferSize); break;
    case 1: found = platform::GetSystemFolder(path, kPathBufferSize); break;
    case 2: found = platform::GetTempFolder(path, kPathBufferSize); break;
    case 3:
      ReadProgramFilesFolder(path);
      found = true;
      break;
    default:
      found = platform::GetShellFolder(kProtectedShellFolders[index - kSystemFolderCount], path,
                                       kPathBufferSize);
  }
  if (found) {
    FullFolder(path, out);
  } else {
    out[0] = '\0';
  }
}

}  // namespace

void FullFolder(const char* path, char* out) {
  if (path[0] == '\0' || !platform::GetFullPath(path, out, kPathBufferSize)) {
    out[0] = '\0';
    return;
  }
  size_t length = strlen(out);
  while (length > 0 && out[length - 1] == '\\') out[--length] = '\0';
}

bool IsAtOrBelow(const char* folder, const char* base) {
  const size_t length = strlen(base);
  return length > 0 && StartsWithIgnoringCase(folder, base, length) &&
         (folder[length] == '\0' || folder[length] == '\\');
}

size_t FindProtectedFolders(char (*out)[kPathBufferSize]) {
  size_t count = 0;
  for (size_t index = 0; index < kSystemFolderCount + kShellFolderCount; ++index) {
    ProtectedFolder(index, out[count]);
    if (out[count][0] != '\0') ++count;
  }
  return count;
}

size_t ProtectedPrefixLength(const char* path) {
  static_assert(kStringRecordBufferSize == kPathBufferSize, "the setup state keeps full paths");
  if (g_setup.protectedFolders == nullptr) {
    g_setup.protectedFolders = static_cast<char(*)[kPathBufferSize]>(
        malloc(kMaxProtectedFolders * kPathBufferSize));
    if (g_setup.protectedFolders == nullptr) return 0;
    g_setup.protectedFolderCount =
        static_cast<uint32_t>(FindProtectedFolders(g_setup.protectedFolders));
  }
  size_t longest = 0;
  for (uint32_t i = 0; i < g_setup.protectedFolderCount; ++i) {
    const char* folder = g_setup.protectedFolders[i];
    const size_t length = strlen(folder);
    if (length > longest && IsAtOrBelow(path, folder)) longest = length;
  }
  return longest;
}

bool IsInProtectedFolder(const char* folder) {
  char full[kPathBufferSize];
  FullFolder(folder, full);
  return ProtectedPrefixLength(full) > 0;
}
