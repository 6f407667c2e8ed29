// The records the uninstaller follows and the folders it may remove.
#include "maintenance/removal_bounds.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"
#include "engine/remembered_folders.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace {

// Shell folders by CSIDL number: the user's and every user's desktop, start menu,
// programs and startup folders, the profile and its documents, application data,
// favourites, recent, send-to and templates folders, fonts, and the shell's own view of
// the Windows, system and program-files folders. Those a system does not have are
// passed over.
constexpr int kProtectedShellFolders[] = {
    platform::kShellDesktop, platform::kShellPrograms, platform::kShellStartup,
    platform::kShellStartMenu, 0x05, 0x06, 0x08, 0x09, 0x10, 0x14, 0x15, 0x16, 0x17, 0x18,
    0x19, 0x1A, 0x1C, 0x23, 0x24, 0x25, 0x26, 0x28};
constexpr size_t kProtectedSystemFolders = 4;  // Windows, system, temporary, program files
static_assert(sizeof(kProtectedShellFolders) / sizeof(int) + kProtectedSystemFolders <=
                  kMaxProtectedFolders,
              "room for every protected folder");

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// `path` as Windows resolves it ("." and "/" and a relative start undone), without a
// trailing '\', in `out` (kPathBufferSize bytes); "" when it has none or does not fit.
void FullFolder(const char* path, char* out) {
  if (path[0] == '\0' || !platform::GetFullPath(path, out, kPathBufferSize)) {
    out[0] = '\0';
    return;
  }
  size_t length = strlen(out);
  while (length > 0 && out[length - 1] == '\\') out[--length] = '\0';
}

// "X:\..." with at least one folder below the root: the root holds every other folder.
bool IsBelowDriveRoot(const char* path) {
  return path[0] != '\0' && path[1] == ':' && IsSeparator(path[2]) && path[3] != '\0';
}

bool IsAtOrBelow(const char* folder, const char* base) {
  const size_t length = strlen(base);
  return length > 0 && StartsWithIgnoringCase(folder, base, length) &&
         (folder[length] == '\0' || folder[length] == '\\');
}

void AddProtected(RemovalBounds* bounds, const char* path) {
  char* slot = bounds->protectedFolders[bounds->protectedCount];
  FullFolder(path, slot);
  if (slot[0] != '\0') ++bounds->protectedCount;
}

void FindProtectedFolders(RemovalBounds* bounds) {
  char path[kPathBufferSize + 1];
  bounds->protectedCount = 0;
  if (platform::GetWindowsFolder(path, kPathBufferSize)) AddProtected(bounds, path);
  if (platform::GetSystemFolder(path, kPathBufferSize)) AddProtected(bounds, path);
  if (platform::GetTempFolder(path, kPathBufferSize)) AddProtected(bounds, path);
  ReadProgramFilesFolder(path);
  AddProtected(bounds, path);
  for (int csidl : kProtectedShellFolders) {
    if (platform::GetShellFolder(csidl, path, kPathBufferSize)) AddProtected(bounds, path);
  }
}

// The folder of the UNINST.EXE record.
void FindProgramFolder(const char* uninstallerRecord, char* out) {
  out[0] = '\0';
  char folder[kPathBufferSize];
  if (FormatText(folder, sizeof folder, "%s", uninstallerRecord) >=
          static_cast<int>(sizeof folder) ||
      HasParentStep(folder)) {
    return;
  }
  char* last = strrchr(folder, '\\');
  if (last == nullptr || !EqualIgnoringCase(last + 1, kUninstallerName)) return;
  *last = '\0';
  if (IsBelowDriveRoot(folder)) FullFolder(folder, out);
}

// The folder that {OurShortcutDir} named for this product: the programs folder and the
// remembered start-menu folder. It must lie below the programs folder, which is not the
// installation's.
void FindShortcutFolder(char* out) {
  out[0] = '\0';
  char programs[kPathBufferSize];
  char startMenu[kPathBufferSize + 1];
  if (!platform::GetShellFolder(platform::kShellPrograms, programs, sizeof programs) ||
      !ReadRememberedStartMenuFolder(startMenu) || HasParentStep(startMenu)) {
    return;
  }
  char joined[2 * kPathBufferSize + 2];
  FormatText(joined, sizeof joined, "%s\\%s", programs, startMenu);
  if (strlen(joined) >= kPathBufferSize) return;
  char fullPrograms[kPathBufferSize];
  FullFolder(programs, fullPrograms);
  FullFolder(joined, out);
  if (!IsAtOrBelow(out, fullPrograms) || strlen(out) == strlen(fullPrograms)) out[0] = '\0';
}

}  // namespace

bool HasParentStep(const char* path) {
  for (const char* part = path; *part != '\0';) {
    size_t dots = 0;
    bool onlyDots = true;
    for (; *part != '\0' && !IsSeparator(*part); ++part) {
      if (*part == '.') ++dots;
      else if (*part != ' ') onlyDots = false;
    }
    if (onlyDots && dots >= 2) return true;
    if (*part != '\0') ++part;
  }
  return false;
}

void FindRemovalBounds(const char* uninstallerRecord, RemovalBounds* bounds) {
  FindProgramFolder(uninstallerRecord, bounds->programFolder);
  FindShortcutFolder(bounds->shortcutFolder);
  FindProtectedFolders(bounds);
}

bool MayRemoveFolder(const RemovalBounds& bounds, const char* folder) {
  char full[kPathBufferSize];
  FullFolder(folder, full);
  if (!IsBelowDriveRoot(full)) return false;
  for (size_t i = 0; i < bounds.protectedCount; ++i) {
    if (EqualIgnoringCase(full, bounds.protectedFolders[i])) return false;
  }
  return IsAtOrBelow(full, bounds.programFolder) || IsAtOrBelow(full, bounds.shortcutFolder);
}
