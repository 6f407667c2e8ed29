// What the Win32 side's files share: the last error as a Failure (in the words the POSIX
// side uses for the common cases), FILETIME as one number, and joining a folder and a name.
#pragma once

#include <windows.h>

#include <string>

#include "host/host_file.h"

namespace host {

// Fills *failure from GetLastError(); returns false, for `return ... || FailWithLastError(failure)`.
bool FailWithLastError(Failure* failure);
// The same for a known error code.
bool FailWith(DWORD error, Failure* failure);

FileTime FileTimeOf(const FILETIME& time);
FILETIME FiletimeOf(FileTime time);

// `folder` and `name` with one backslash between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// Facts of an open handle: disk files and folders by their attributes, the rest by the
// kind of handle (a console or NUL is a character device, a pipe a FIFO). `linkItself`:
// the handle was opened with FILE_FLAG_OPEN_REPARSE_POINT, so a reparse point found is the
// link itself (kLink). Otherwise the attribute is left alone: a file reached through a
// link, or one that carries a reparse point of another kind (a cloud file's placeholder),
// is read as any other.
bool FactsOfHandle(HANDLE handle, bool linkItself, FileFacts* facts, Failure* failure);

}  // namespace host
