// A folder and a file that no other program of the user can change: the uninstaller's
// copy of itself in the temporary folder, which it starts as administrator and which
// would otherwise lie where every program of the user may write.
#pragma once

#include "platform/handles.h"

namespace platform {

// Creates the folder `path` (its parent must exist), failing when anything already stands
// under the name: a folder, a file, or a link that another program put there. When this
// process runs elevated, only administrators and SYSTEM may change what the folder holds;
// otherwise the user alone. What is made in it inherits that. Windows 9x has no security:
// there the folder is only new.
bool CreatePrivateFolder(const char* path);

// Opens the file `path` for reading while sharing it for reading only: as long as the
// handle is open nobody can write to the file, and nobody can replace, rename or delete
// it. nullptr when it cannot be opened so (another program has it open for writing).
File OpenLockedForReading(const char* path);

}  // namespace platform
