// Work left for the next start of Windows: replacing and deleting files that are in use.
#pragma once

// True on the Windows NT family, false on Windows 9x. Chooses how next-boot work is
// scheduled and whether the completion step asks for a restart or only advises one.
bool IsWindowsNT();

// Arranges that `waiting` (the target's new content, written beside it as target +
// ".NewTemp") replaces `target` at the next start of Windows. Windows NT: a delayed
// move. Windows 9x: a "rename" entry in WININIT.INI when the target's path is already in
// its short form (letter case ignored); otherwise sets the finalize-at-boot flag and
// leaves the waiting file for the finalizer (as also when WININIT.INI cannot be
// written). Always sets the restart-needed flag. Returns false when Windows NT refused
// the move: nothing would ever replace the target, and the caller must not report the
// file as installed. `waiting` must be closed: a file still open for writing cannot be
// moved. Paths are NUL-terminated, at most 255 characters.
bool ReplaceFileAtNextBoot(const char* target, const char* waiting);

// Arranges that `path` is deleted at the next start of Windows (Windows NT: a delayed
// move to nowhere; Windows 9x: the WININIT.INI entry "NUL" = its short path). Always
// sets the restart-needed flag.
void DeleteFileAtNextBoot(const char* path);

// The flags the two operations set, for the completion step.
bool RestartNeeded();
bool FinalizeAtBoot();
