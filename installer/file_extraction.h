// Extracting one file entry of the package: its target path, folders, the overwrite
// policy, the blocks, and the records it leaves for self-registration, the uninstall log
// and the shared-file counts.
#pragma once

#include "platform/handles.h"

// Handles the next file entry of the package stream. `dialog` is the progress dialog: it
// owns every prompt and holds the status text and both progress bars.
// True: the entry was written or skipped without error; call again.
// False: the file list has ended (empty or unreadable name record), an entry field could
// not be read, the run was cancelled (cancel flag set, no message), or a failure that has
// been reported (success flag cleared). *listEnded (when given) tells the first case from
// the others: only after the end of the list does the package stream stand at the
// shortcut list; otherwise it stands inside the entry's blocks.
bool ExtractNextFile(platform::Window dialog, bool* listEnded = nullptr);
