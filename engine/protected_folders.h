// The folders that Windows and the shell own: the Windows, system, temporary and
// program-files folders and the shell folders. The uninstaller never removes one; a
// folder the installer makes inside one keeps what Windows set up there; and what the
// system names as one of them is taken as it stands, a link or not (the user's desktop
// may be one), while what lies below is the installation's to look at.
#pragma once

#include <stddef.h>

#include "engine/path_macros.h"

// The most there are; those a system does not have are passed over.
constexpr size_t kMaxProtectedFolders = 28;

// Fills `out` with the protected folders as full paths without a trailing '\' and
// returns how many there are.
size_t FindProtectedFolders(char (*out)[kPathBufferSize]);

// The length of the longest protected folder that `path` is or lies below (compared as
// written, letter case ignored), or 0 when it lies in none. The folders are asked of the
// platform once in a run and kept in the setup state; without the memory for them the
// answer is 0, which only makes the callers look at more of the path.
size_t ProtectedPrefixLength(const char* path);

// Whether `folder` is one of the protected folders or lies below one (compared as full
// paths, letter case ignored).
bool IsInProtectedFolder(const char* folder);

// `path` as Windows resolves it ("." and "/" and a relative start undone), without a
// trailing '\', in `out` (kPathBufferSize bytes); "" when it has none or does not fit.
void FullFolder(const char* path, char* out);

// Whether `folder` is `base` or lies below it, letter case ignored; false for an empty
// `base`.
bool IsAtOrBelow(const char* folder, const char* base);
