// Work left for the next start of Windows: replacing and deleting files that are in use.
#pragma once

#include <stddef.h>

// True on the Windows NT family, false on Windows 9x. Chooses how next-boot work is
// scheduled and whether the completion step asks for a restart or only advises one.
bool IsWindowsNT();

// The name of a waiting file, which holds a target's new content beside it until the
// next start of Windows: the target's path, ".~", eight hexadecimal digits nobody can
// guess, and ".NewTemp" ("C:\App\x.dll.~3F09A1C2.NewTemp"), so that another program
// cannot leave a link or a file under the name before it is made. In `out` (`size`
// bytes); false when it does not fit.
bool MakeWaitingFileName(const char* target, char* out, size_t size);

// Cuts a waiting file's name (a name or a path) in place to its target's: ".NewTemp"
// and the tag before it go. A name without the tag, as older installers wrote them
// (target + ".NewTemp"), loses ".NewTemp" alone. False, with `name` unchanged, for a
// name that does not end in ".NewTemp" (letter case ignored) or has nothing before it.
bool CutWaitingFileName(char* name);

// Arranges that `waiting` (the target's new content, written beside it under the name
// of MakeWaitingFileName) replaces `target` at the next start of Windows. Windows NT: a delayed
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
