// The registry section of the uninstall: logged values, then the keys left empty.
#include "maintenance/logged_registry.h"

#include <string.h>

#include "installer/ignore_case.h"
#include "maintenance/path_list.h"
#include "package/format.h"
#include "package/package_stream.h"

namespace {

constexpr size_t kKeyLineSize = 256;

struct RootName {
  const char* name;  // with its trailing backslash
  uint32_t root;
};

const RootName kRootNames[] = {
    {kRootClasses, platform::kRootClasses},
    {kRootCurrentUser, platform::kRootCurrentUser},
    {kRootLocalMachine, platform::kRootLocalMachine},
};

// The root that the key line `line` (':' + root name + subkey) names, and in *subkey
// where its subkey begins inside `line`; false for a line with no known root.
bool ParseKeyLine(const char* line, uint32_t* root, const char** subkey) {
  if (line[0] != kRegistryKeyLinePrefix) return false;
  for (const RootName& candidate : kRootNames) {
    const size_t length = strlen(candidate.name);
    if (StartsWithIgnoringCase(line + 1, candidate.name, length)) {
      *root = candidate.root;
      *subkey = line + 1 + length;
      return true;
    }
  }
  return false;
}

// Reads records up to and including the next empty one.
void SkipToEmptyRecord() {
  while (ReadStringRecord()[0] != '\0') {
  }
}

// One key line read from the log: its values are deleted and the key listed for the
// empty-key walk; a key that cannot be used is passed over with its value names.
void UndoKey(const char* line, PathList* keys) {
  uint32_t root = 0;
  const char* subkey = nullptr;
  platform::Key key = nullptr;
  if (ParseKeyLine(line, &root, &subkey)) key = platform::OpenKey(root, subkey, true);
  if (key == nullptr) {
    SkipToEmptyRecord();
    return;
  }
  DeleteLoggedValues(key);
  platform::CloseKey(key);
  keys->AddKey(subkey, root);
}

}  // namespace

void UndoRegistryEntries() {
  PathList keys;
  for (;;) {
    // The record buffer is overwritten by the value names: keep the key line.
    char line[kKeyLineSize];
    const char* record = ReadStringRecord();
    if (record[0] == '\0') break;
    if (record[0] != kRegistryKeyLinePrefix) continue;
    strncpy(line, record, sizeof(line) - 1);
    line[sizeof(line) - 1] = '\0';
    UndoKey(line, &keys);
  }
  keys.RemoveEmptyKeys();
}

void DeleteLoggedValues(platform::Key key) {
  for (;;) {
    const char* name = ReadStringRecord();
    if (name[0] == '\0') return;
    platform::DeleteValue(key, strcmp(name, kRegistryDefaultValueName) == 0 ? "" : name);
  }
}
