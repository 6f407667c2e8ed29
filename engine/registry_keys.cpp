// Registry key paths: their root names and their creation level by level.
#include "engine/registry_keys.h"

#include <string.h>

#include "base/ignore_case.h"
#include "engine/path_macros.h"
#include "package/format.h"

namespace {

struct RootName {
  const char* name;  // with its backslash
  uint32_t root;
};
const RootName kRoots[] = {
    {kRootClasses, platform::kRootClasses},
    {kRootCurrentUser, platform::kRootCurrentUser},
    {kRootLocalMachine, platform::kRootLocalMachine},
};

}  // namespace

platform::Key CreateKeyPath(uint32_t root, const char* subkey) {
  char path[kPathBufferSize];
  const size_t length = strlen(subkey);
  if (length >= sizeof path) return nullptr;
  memcpy(path, subkey, length + 1);
  for (char* cut = strchr(path, '\\'); cut != nullptr; cut = strchr(cut + 1, '\\')) {
    *cut = '\0';
    platform::Key level = platform::CreateKey(root, path);
    if (level != nullptr) platform::CloseKey(level);
    *cut = '\\';
  }
  return platform::CreateKey(root, path);
}

bool ParseRegistryRoot(const char* text, uint32_t* root, const char** subkey) {
  for (const RootName& candidate : kRoots) {
    const size_t length = strlen(candidate.name);
    if (StartsWithIgnoringCase(text, candidate.name, length)) {
      *root = candidate.root;
      *subkey = text + length;
      return true;
    }
  }
  return false;
}
