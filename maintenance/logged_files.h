// Removing the files that the uninstall log's file section names: ordinary files, and
// shared files whose reference count is counted down first.
#pragma once

#include "platform/handles.h"

// Deletes the file at `path` (NUL-terminated), asking `owner`'s user where it is
// read-only ("Confirm?") or cannot be deleted ("Retry?", asked again while Yes is
// answered and the deletion still fails). A self-registering file is unregistered first.
// True to go on with the uninstall: the file is gone, was already gone, or the user
// answered No and it stays. False when the user answered Cancel: the uninstall must stop.
// A quiet run asks nothing: a read-only file is deleted, one in use is deleted at the
// next start of Windows.
bool DeleteLoggedFile(const char* path, platform::Window owner);

// A shared file: counts its "SharedDLLs" reference down (a missing or unreadable count
// is 1). Above zero the new count is written back and the file stays. At zero the count
// value is deleted and the user is asked, with the path as caption, whether to delete the
// file (a quiet run answers No); Yes deletes it with DeleteLoggedFile. When the count key
// cannot be opened the file and its count are left alone. Returns what DeleteLoggedFile
// returned, otherwise true.
bool UndoSharedFile(const char* path, platform::Window owner);
