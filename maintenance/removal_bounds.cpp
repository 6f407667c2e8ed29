// The records the uninstaller follows and the folders it may remove.
#include "maintenance/removal_bounds.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"
#include "engine/protected_folders.h"
#include "engine/remembered_folders.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "X:\..." with at least one folder below the root: the root holds every other folder.
bool IsBelowDriveRoot(const char* path) {
  return path[0] != '\0' && path[1] == ':' && IsSeparator(path[2]) && path[3] != '\0';
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
  bounds->protectedCount = FindProtectedFolders(bounds->protectedFolders);
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
