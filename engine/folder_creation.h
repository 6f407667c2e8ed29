// Creating the missing folders of a target path, top down.
#pragma once

#include "platform/handles.h"

// Creates every missing folder of `path` (a NUL-terminated path of at most 255
// characters, '\' as separator), from the top down; the last component is the file name
// and is never created, nor is a drive root such as "C:\" or a share "\\server\share\".
// A folder made outside the folders Windows owns (protected_folders.h) lets only
// administrators write (platform::FolderAccess). Returns true when every folder exists
// afterwards. On the first failure (a folder cannot be created, a component exists as a
// file or is a link, or the path is longer than 255 characters) returns false; the first
// failure of the run shows "Could not create target directory." owned by `owner`
// (nullptr = none) and clears the success flag, so the message appears at most once per
// run and never after an extraction error. `path` is not changed.
bool EnsureFolders(platform::Window owner, const char* path);
