// The reference counts of shared files: the installation's side.
#include "engine/shared_files.h"

#include <stdint.h>

#include "engine/path_macros.h"
#include "platform/file_system.h"
#include "platform/registry.h"

bool CountSharedFile(const char* path) {
  char fullPath[kPathBufferSize];
  if (!platform::GetFullPath(path, fullPath, sizeof(fullPath))) return false;
  platform::Key key = platform::CreateKey(platform::kRootLocalMachine, kSharedDllsKey);
  if (key == nullptr) return false;
  uint32_t count = 0;
  uint32_t type = 0;
  uint32_t size = sizeof(count);
  if (!platform::QueryValue(key, fullPath, &type, &count, &size) ||
      type != platform::kRegNumber || size != sizeof(count)) {
    count = 0;
  }
  ++count;
  const bool written =
      platform::SetValue(key, fullPath, platform::kRegNumber, &count, sizeof(count));
  platform::CloseKey(key);
  return written;
}
