// Creating the missing folders of a target path, top down.
#include "engine/folder_creation.h"

#include <string.h>

#include "engine/links.h"
#include "engine/path_macros.h"
#include "engine/protected_folders.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "runtime/messages.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

// Folders made inside those Windows owns keep what Windows set up there (the program-
// files folder lets only administrators write, a user's start menu is the user's); any
// other is made so that only administrators may change what it holds, or anyone who may
// write its parent (the root of a drive lets every user make folders) could later swap
// the program or its uninstall log for one that runs as administrator.
platform::FolderAccess AccessFor(const char* folder) {
  return IsInProtectedFolder(folder) ? platform::FolderAccess::kInherited
                                     : platform::FolderAccess::kAdministratorsOnly;
}

// Makes sure the folder `prefix` exists. A file in its place is a failure, and so is a
// link where the folder is the installation's (`own`): what it leads to is not the
// folder the installation means. A folder Windows owns is taken as the system names it.
bool EnsureOneFolder(const char* prefix, bool own) {
  const uint32_t attributes = platform::GetAttributes(prefix);
  if (attributes == platform::kNoAttributes) {
    return platform::CreateFolder(prefix, AccessFor(prefix));
  }
  return (attributes & platform::kAttributeDirectory) != 0 &&
         !(own && (attributes & platform::kAttributeReparsePoint) != 0);
}

// The drive root ("C:\"), a share ("\\server\share\") or a leading '\' is never tested
// or created: the folders begin after it.
bool CreateFolders(char* path) {
  const char* own = OwnPartStart(path);
  for (char* separator = strchr(path + (PathRootEnd(path) - path), '\\'); separator != nullptr;
       separator = strchr(separator + 1, '\\')) {
    *separator = '\0';
    const bool made = EnsureOneFolder(path, separator >= own);
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
