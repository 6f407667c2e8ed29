// The registry section of the uninstall: logged values, then the keys left empty.
#include "maintenance/logged_registry.h"

#include <string.h>

#include "engine/registry_keys.h"
#include "maintenance/path_list.h"
#include "package/format.h"

namespace {

constexpr size_t kKeyLineSize = 256;

// The root that the key line `line` (':' + root name + subkey) names, and in *subkey
// where its subkey begins inside `line`; false for a line with no known root.
bool ParseKeyLine(const char* line, uint32_t* root, const char** subkey) {
  return line[0] == kRegistryKeyLinePrefix && ParseRegistryRoot(line + 1, root, subkey);
}

// Takes records up to and including the next empty one.
void SkipToEmptyRecord(LoadedLog* log) {
  while (NextLogRecord(log)[0] != '\0') {
  }
}

// One key line read from the log: its values are deleted and the key listed for the
// empty-key walk; a key that cannot be used is passed over with its value names.
void UndoKey(const char* line, PathList* keys, LoadedLog* log) {
  uint32_t root = 0;
  const char* subkey = nullptr;
  platform::Key key = nullptr;
  if (ParseKeyLine(line, &root, &subkey)) key = platform::OpenKey(root, subkey, true);
  if (key == nullptr) {
    SkipToEmptyRecord(log);
    return;
  }
  DeleteLoggedValues(key, log);
  platform::CloseKey(key);
  keys->AddKey(subkey, root);
}

}  // namespace

void UndoRegistryEntries(LoadedLog* log) {
  PathList keys;
  for (;;) {
    // The record buffer is overwritten by the value names: keep the key line.
    char line[kKeyLineSize];
    const char* record = NextLogRecord(log);
    if (record[0] == '\0') break;
    if (record[0] != kRegistryKeyLinePrefix) continue;
    strncpy(line, record, sizeof(line) - 1);
    line[sizeof(line) - 1] = '\0';
    UndoKey(line, &keys, log);
  }
  keys.RemoveEmptyKeys();
}

void DeleteLoggedValues(platform::Key key, LoadedLog* log) {
  for (;;) {
    const char* name = NextLogRecord(log);
    if (name[0] == '\0') return;
    platform::DeleteValue(key, strcmp(name, kRegistryDefaultValueName) == 0 ? "" : name);
  }
}
