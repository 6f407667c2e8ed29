// Names of the volumes: volume k >= 1 is the installation file's path with ".%03d" in
// place of everything from the last '.' of the full path (appended when there is no
// '.'), so D:\SETUP.EXE continues in D:\SETUP.001, D:\SETUP.002...
#pragma once

#include <stddef.h>
#include <stdint.h>

// Writes the path of volume `volume` (>= 1), NUL-terminated, into `out` of `outSize`
// bytes. The last '.' may sit in a folder name; it is still the one replaced. Returns
// false, writing nothing beyond `outSize`, when the path does not fit.
bool BuildVolumePath(const char* installationPath, int32_t volume, char* out, size_t outSize);

// The file-name part of `path`: the text after its last '\', or the whole path.
const char* FileNamePart(const char* path);
