// The folders that Windows and the shell own: the Windows, system, temporary and
// program-files folders and the shell folders. The uninstaller never removes one; a
// folder the installer makes inside one keeps what Windows set up there.
#pragma once

#include <stddef.h>

#include "engine/path_macros.h"

// The most there are; those a system does not have are passed over.
constexpr size_t kMaxProtectedFolders = 28;

// Fills `out` with the protected folders as full paths without a trailing '\' and
// returns how many there are.
size_t FindProtectedFolders(char (*out)[kPathBufferSize]);

// Whether `folder` is one of the protected folders or lies below one (compared as full
// paths, letter case ignored). Asks the platform for each in turn, without keeping them.
bool IsInProtectedFolder(const char* folder);

// `path` as Windows resolves it ("." and "/" and a relative start undone), without a
// trailing '\', in `out` (kPathBufferSize bytes); "" when it has none or does not fit.
void FullFolder(const char* path, char* out);

// Whether `folder` is `base` or lies below it, letter case ignored; false for an empty
// `base`.
bool IsAtOrBelow(const char* folder, const char* base);
