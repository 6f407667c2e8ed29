// Folder paths as the installer takes them from the user, the command line and its own
// log: which are full, and the one canonical form of a folder to install into.
#pragma once

#include <stddef.h>

// Whether `path` is a full path: "X:\..." (or "X:/...") or "\\server\...". Any other
// is relative to a current folder or drive, which differs from one program to the next.
bool IsFullPath(const char* path);

// The canonical form of the folder `text` in `out` (`size` bytes): '/' read as '\', "."
// and ".." resolved, repeated separators collapsed, no trailing '\', the drive letter in
// upper case ("c:/Apps/./Tool/" gives "C:\Apps\Tool"; "D:\" gives "D:", the root).
// False, with `out` empty (when it has room), for a folder that nothing may be installed
// into: one not on a drive ("Tool", "\Tool", "C:Tool", and a network path
// "\\server\share\...", which the installer does not take), ".." above the root, a name
// with a character Windows forbids in names (control characters and < > : " | ? *), a
// name that ends in '.' or ' ' (Windows drops those and would make another folder than
// the one named), a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or
// without an extension), or a result that does not fit in `size` bytes.
bool CanonicalFolder(const char* text, char* out, size_t size);
