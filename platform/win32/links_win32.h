// Links as the Win32 side of the seam meets them: opening the entry itself rather than
// what a link leads to, and judging an open handle.
#pragma once

#include <windows.h>

namespace platform {

// FILE_FLAG_OPEN_REPARSE_POINT on the NT family, which opens a reparse point itself;
// 0 on Windows 9x, which has no links and may refuse flags it does not know.
DWORD NoFollowFlag();

// Whether the open `handle` is a reparse point or a file with more than one name. A
// handle that cannot be asked counts as one: nothing is written through what cannot be
// judged.
bool IsLinkHandle(HANDLE handle);

}  // namespace platform
