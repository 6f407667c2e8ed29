// Links on the way to a file.
#include "engine/links.h"

#include <string.h>

#include "engine/protected_folders.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kLongestPath = 260;  // MAX_PATH with its NUL

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

const char* PathRootEnd(const char* path) {
  if (path[0] != '\0' && path[1] == ':') return IsSeparator(path[2]) ? path + 3 : path + 2;
  if (IsSeparator(path[0]) && IsSeparator(path[1])) {
    // "\\server\share\": the two names are the root.
    const char* at = path + 2;
    for (int names = 0; names < 2 && *at != '\0'; ++names) {
      while (*at != '\0' && !IsSeparator(*at)) ++at;
      if (*at != '\0') ++at;
    }
    return at;
  }
  return IsSeparator(path[0]) ? path + 1 : path;
}

const char* OwnPartStart(const char* path) {
  const char* rootEnd = PathRootEnd(path);
  const size_t systems = ProtectedPrefixLength(path);
  if (path + systems < rootEnd) return rootEnd;
  return path[systems] == '\0' ? path + systems : path + systems + 1;
}

bool PathHasLink(const char* path) {
  char working[kLongestPath];
  const size_t length = strnlen(path, kLongestPath);
  if (length >= kLongestPath) return true;
  memcpy(working, path, length + 1);
  char* at = working + (OwnPartStart(working) - working);
  if (*at == '\0') return false;
  for (; *at != '\0'; ++at) {
    if (!IsSeparator(*at)) continue;
    const char separator = *at;
    *at = '\0';
    const uint32_t attributes = platform::GetAttributes(working);
    *at = separator;
    if (attributes != platform::kNoAttributes &&
        (attributes & platform::kAttributeReparsePoint) != 0) {
      return true;
    }
  }
  return platform::IsLink(working);
}
