// The uninstaller's relaunch decisions: is this the copy, where does the copy go, and
// how is it started.
#include "maintenance/relaunch.h"

#include <string.h>

#include "base/format_text.h"
#include "base/ignore_case.h"

namespace {

constexpr size_t kNumberDigits = 8;

// Drops one trailing '\' of `folder`: its length without it.
size_t FolderLength(const char* folder) {
  size_t length = strlen(folder);
  if (length > 0 && folder[length - 1] == '\\') --length;
  return length;
}

// `text` is 1 to 10 decimal digits of a value from 1 to 0xFFFFFFFF, and nothing else.
bool ReadHandleNumber(const char* text, uint32_t* value) {
  uint64_t number = 0;
  size_t digits = 0;
  for (; text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    if (digits == 10) return false;
    number = number * 10 + static_cast<uint64_t>(text[digits] - '0');
  }
  if (digits == 0 || text[digits] != '\0' || number == 0 || number > 0xFFFFFFFFu) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool ReadRelaunchTail(const char* tail, uint32_t* parentHandle) {
  *parentHandle = 0;
  const size_t switchLength = sizeof(kRelaunchSwitch) - 1;
  if (tail == nullptr || !StartsWithIgnoringCase(tail, kRelaunchSwitch, switchLength)) {
    return false;
  }
  const char* rest = tail + switchLength;
  if (rest[0] == '\0') return true;
  if (rest[0] != ' ') return false;
  ++rest;
  if (EqualIgnoringCase(rest, kQuietRelaunchSwitch)) return true;
  const size_t parentLength = sizeof(kParentSwitch) - 1;
  return StartsWithIgnoringCase(rest, kParentSwitch, parentLength) &&
         ReadHandleNumber(rest + parentLength, parentHandle);
}

bool ComposeRelaunchFolder(const char* tempFolder, uint32_t number, char* out, uint32_t size) {
  const int length =
      FormatText(out, size, "%.*s\\%s%08X%s", static_cast<int>(FolderLength(tempFolder)),
                 tempFolder, kRelaunchFolderPrefix, number, kRelaunchFolderSuffix);
  if (length < 0 || static_cast<uint32_t>(length) >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

bool IsRelaunchFolder(const char* folder, const char* tempFolder) {
  const size_t parentLength = FolderLength(tempFolder);
  const size_t prefixLength = sizeof(kRelaunchFolderPrefix) - 1;
  if (strlen(folder) != parentLength + 1 + prefixLength + kNumberDigits +
                            sizeof(kRelaunchFolderSuffix) - 1 ||
      !StartsWithIgnoringCase(folder, tempFolder, parentLength) || folder[parentLength] != '\\') {
    return false;
  }
  const char* name = folder + parentLength + 1;
  if (!StartsWithIgnoringCase(name, kRelaunchFolderPrefix, prefixLength)) return false;
  for (size_t i = 0; i < kNumberDigits; ++i) {
    if (!IsHexDigit(name[prefixLength + i])) return false;
  }
  return EqualIgnoringCase(name + prefixLength + kNumberDigits, kRelaunchFolderSuffix);
}

bool ComposeCopyPath(const char* modulePath, const char* folder, char* out, uint32_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const char* namePart = strrchr(modulePath, '\\');
  if (namePart == nullptr) return false;
  const size_t folderLength = FolderLength(folder);
  const size_t nameLength = strlen(namePart);
  if (folderLength + nameLength >= size) return false;
  memcpy(out, folder, folderLength);
  memcpy(out + folderLength, namePart, nameLength + 1);
  return true;
}

bool ComposeRelaunchCommand(const char* copyPath, bool quiet, uint32_t parentHandle, char* out,
                            uint32_t size) {
  if (size == 0) return false;
  int length;
  if (quiet) {
    length = FormatText(out, size, "\"%s\" %s %s", copyPath, kRelaunchSwitch, kQuietRelaunchSwitch);
  } else if (parentHandle != 0) {
    length = FormatText(out, size, "\"%s\" %s %s%u", copyPath, kRelaunchSwitch, kParentSwitch,
                        parentHandle);
  } else {
    length = FormatText(out, size, "\"%s\" %s", copyPath, kRelaunchSwitch);
  }
  if (length < 0 || static_cast<uint32_t>(length) >= size) {
    out[0] = '\0';
    return false;
  }
  return true;
}
