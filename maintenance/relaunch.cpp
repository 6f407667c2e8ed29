// The uninstaller's relaunch decisions: is this the copy, where does the copy go, and
// how is it started.
#include "maintenance/relaunch.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"

bool IsRelaunchedTail(const char* tail) {
  return tail != nullptr && (EqualIgnoringCase(tail, kRelaunchSwitch) ||
                             EqualIgnoringCase(tail, kQuietRelaunchSwitch));
}

bool ComposeCopyPath(const char* modulePath, const char* tempFolder, char* out, uint32_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const char* namePart = strrchr(modulePath, '\\');
  if (namePart == nullptr) return false;
  size_t folderLength = strlen(tempFolder);
  if (folderLength > 0 && tempFolder[folderLength - 1] == '\\') --folderLength;
  const size_t nameLength = strlen(namePart);
  if (folderLength + nameLength >= size) return false;
  memcpy(out, tempFolder, folderLength);
  memcpy(out + folderLength, namePart, nameLength + 1);
  return true;
}

bool ComposeRelaunchCommand(const char* copyPath, bool quiet, char* out, uint32_t size) {
  if (size == 0) return false;
  const int length = FormatText(out, size, "\"%s\" %s", copyPath,
                                quiet ? kQuietRelaunchSwitch : kRelaunchSwitch);
  if (length < 0 || static_cast<uint32_t>(length) >= size) {
    out[0] = '\0';
    return false;
  }
  return true;
}
