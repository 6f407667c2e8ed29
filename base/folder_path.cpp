// Full paths and the canonical form of a folder.
#include "base/folder_path.h"

#include <string.h>

#include "base/ignore_case.h"

namespace {

const char* const kDeviceNames[] = {"CON", "PRN", "AUX", "NUL"};
const char* const kNumberedDevices[] = {"COM", "LPT"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsForbidden(char c) {
  return static_cast<unsigned char>(c) < 0x20 || strchr("<>:\"|?*", c) != nullptr;
}

// Whether the `length` characters at `name` (the part before its first '.') name a
// device, which Windows opens whatever folder the name stands in.
bool IsDeviceName(const char* name, size_t length) {
  for (const char* device : kDeviceNames) {
    if (length == 3 && StartsWithIgnoringCase(name, device, 3)) return true;
  }
  for (const char* device : kNumberedDevices) {
    if (length == 4 && StartsWithIgnoringCase(name, device, 3) && name[3] >= '1' &&
        name[3] <= '9') {
      return true;
    }
  }
  return false;
}

// A name of `length` (> 0) characters that Windows keeps as it is written.
bool IsValidName(const char* name, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (IsForbidden(name[i])) return false;
  }
  if (name[length - 1] == '.' || name[length - 1] == ' ') return false;
  size_t stem = 0;
  while (stem < length && name[stem] != '.') ++stem;
  return !IsDeviceName(name, stem);
}

bool Refuse(char* out, size_t size) {
  if (size > 0) out[0] = '\0';
  return false;
}

}  // namespace

bool IsFullPath(const char* path) {
  return (IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) ||
         (IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != '\0' &&
          !IsSeparator(path[2]));
}

bool CanonicalFolder(const char* text, char* out, size_t size) {
  if (size < 3 || !IsLetter(text[0]) || text[1] != ':' ||
      (text[2] != '\0' && !IsSeparator(text[2]))) {
    return Refuse(out, size);
  }
  out[0] = static_cast<char>(text[0] & ~0x20);  // the letter in upper case
  out[1] = ':';
  size_t length = 2;
  for (const char* at = text + 2; *at != '\0';) {
    while (IsSeparator(*at)) ++at;
    const char* name = at;
    while (*at != '\0' && !IsSeparator(*at)) ++at;
    const size_t nameLength = static_cast<size_t>(at - name);
    if (nameLength == 0 || (nameLength == 1 && name[0] == '.')) continue;
    if (nameLength == 2 && name[0] == '.' && name[1] == '.') {
      if (length == 2) return Refuse(out, size);  // above the root
      while (out[length - 1] != '\\') --length;
      --length;
      continue;
    }
    if (!IsValidName(name, nameLength) || length + 1 + nameLength >= size) {
      return Refuse(out, size);
    }
    out[length++] = '\\';
    memcpy(out + length, name, nameLength);
    length += nameLength;
  }
  out[length] = '\0';
  return true;
}
