// Scheduling the replacement or deletion of files in use for the next start of Windows.
#include "engine/next_boot.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"
#include "engine/path_macros.h"
#include "package/format.h"
#include "platform/file_system.h"
#include "platform/random.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

namespace {

// Windows 9x carries out the "rename" section of this file as it starts.
constexpr char kBootFile[] = "WININIT.INI";
constexpr char kBootSection[] = "rename";
constexpr char kDeleteKey[] = "NUL";

// ".~" and eight hexadecimal digits, between the target's name and ".NewTemp".
constexpr char kTagStart[] = ".~";
constexpr size_t kTagLength = 2 + 8;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsTag(const char* text) {
  if (text[0] != kTagStart[0] || text[1] != kTagStart[1]) return false;
  for (size_t i = 2; i < kTagLength; ++i) {
    if (!IsHexDigit(text[i])) return false;
  }
  return true;
}

}  // namespace

bool MakeWaitingFileName(const char* target, char* out, size_t size) {
  const int length = FormatText(out, size, "%s%s%08lX%s", target, kTagStart,
                                static_cast<unsigned long>(platform::RandomNumber()),
                                kWaitingFileSuffix);
  return length > 0 && static_cast<size_t>(length) < size;
}

bool CutWaitingFileName(char* name) {
  const size_t suffixLength = sizeof(kWaitingFileSuffix) - 1;
  size_t length = strlen(name);
  if (length <= suffixLength ||
      !EqualIgnoringCase(name + length - suffixLength, kWaitingFileSuffix)) {
    return false;
  }
  length -= suffixLength;
  if (length > kTagLength && IsTag(name + length - kTagLength)) length -= kTagLength;
  name[length] = '\0';
  return true;
}

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
