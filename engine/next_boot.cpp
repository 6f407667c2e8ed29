// Scheduling the replacement or deletion of files in use for the next start of Windows.
#include "engine/next_boot.h"

#include "base/ignore_case.h"
#include "engine/path_macros.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

// Windows 9x carries out the "rename" section of this file as it starts.
constexpr char kBootFile[] = "WININIT.INI";
constexpr char kBootSection[] = "rename";
constexpr char kDeleteKey[] = "NUL";

}  // namespace

bool IsWindowsNT() { return platform::IsNtFamily(); }

bool ReplaceFileAtNextBoot(const char* target, const char* waiting) {
  g_setup.restartNeeded = true;
  if (IsWindowsNT()) return platform::MoveFileAtBoot(waiting, target);
  // WININIT.INI understands only short names. A target with a long name, or one whose
  // names cannot be had or written there, is left to the finalizer, which renames every
  // waiting file of its folder with the long names.
  char shortTarget[kPathBufferSize];
  char shortWaiting[kPathBufferSize];
  if (!platform::GetShortPath(target, shortTarget, kPathBufferSize) ||
      !EqualIgnoringCase(target, shortTarget) ||
      !platform::GetShortPath(waiting, shortWaiting, kPathBufferSize) ||
      !platform::WriteProfileText(kBootFile, kBootSection, shortTarget, shortWaiting)) {
    g_setup.finalizeAtBoot = true;
  }
  return true;
}

void DeleteFileAtNextBoot(const char* path) {
  if (IsWindowsNT()) {
    platform::MoveFileAtBoot(path, nullptr);
  } else {
    // A file without a short name does not exist, and there is nothing to delete.
    char shortPath[kPathBufferSize];
    if (platform::GetShortPath(path, shortPath, kPathBufferSize)) {
      platform::WriteProfileText(kBootFile, kBootSection, kDeleteKey, shortPath);
    }
  }
  g_setup.restartNeeded = true;
}

bool RestartNeeded() { return g_setup.restartNeeded; }

bool FinalizeAtBoot() { return g_setup.finalizeAtBoot; }
