// Creating the missing folders of a target path, top down.
#include "engine/folder_creation.h"

#include <string.h>

#include "engine/path_macros.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// Makes sure the folder `prefix` exists; a file in its place is a failure.
bool EnsureOneFolder(const char* prefix) {
  const uint32_t attributes = platform::GetAttributes(prefix);
  if (attributes == platform::kNoAttributes) return platform::CreateFolder(prefix);
  return (attributes & platform::kAttributeDirectory) != 0;
}

// The first separator whose prefix is a folder to look at: a drive root such as "C:\" is
// never tested or created. nullptr when there is none.
char* FirstFolderEnd(char* path) {
  char* separator = strchr(path, '\\');
  if (separator == path + 2) separator = strchr(separator + 1, '\\');
  return separator;
}

bool CreateFolders(char* path) {
  for (char* separator = FirstFolderEnd(path); separator != nullptr;
       separator = strchr(separator + 1, '\\')) {
    // A leading '\' names the root of the current drive, which is always there.
    if (separator == path) continue;
    *separator = '\0';
    const bool made = EnsureOneFolder(path);
    *separator = '\\';
    if (!made) return false;
  }
  return true;
}

}  // namespace

bool EnsureFolders(platform::Window owner, const char* path) {
  char working[kPathBufferSize];
  const size_t length = strnlen(path, kPathBufferSize);
  bool made = length < kPathBufferSize;
  if (made) {
    memcpy(working, path, length + 1);
    made = CreateFolders(working);
  }
  if (made) return true;
  if (g_setup.succeeded) {
    TellUser(owner, Text(MSG_FOLDER_FAILED), Text(MSG_ERROR_CAPTION),
             platform::kMbOk | platform::kMbIconError);
    g_setup.succeeded = false;
  }
  return false;
}
