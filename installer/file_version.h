// The version of a file on disk, from its version resource, and comparing versions.
#pragma once

#include <stdint.h>

// Four 16-bit parts, most significant first: major, minor, build, revision.
struct FileVersion {
  uint16_t parts[4];
};

// Fills *version from the fixed file information of the file's version resource (zeros
// first) and returns whether the version exists: the resource and its fixed information
// could be read and at least one part is nonzero. Otherwise *version is all zero.
bool ReadFileVersion(const char* path, FileVersion* version);

// Whether `a` is greater than `b`, comparing the parts as unsigned numbers from the
// major part on; the first unequal part decides, equal versions are not greater.
bool IsVersionGreater(const FileVersion& a, const FileVersion& b);
