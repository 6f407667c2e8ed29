// The stub that an installation file begins with: where its package offset word is, and
// the stub with that word set to the stub's own length.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The offset of the package offset word: just past the one marker "WHERETOSTARTSTRING:" in
// `stub`. Throws an input error naming `name` when the marker is missing, occurs more than
// once (the installer would read the first, the build might patch another), or has fewer
// than 4 bytes after it.
size_t FindPackageOffsetWord(const std::vector<uint8_t>& stub, const std::string& name);

// Reads the stub file, checks that its word is still 0 (a stub that already carries a
// package is an installation file or a maintenance program, not a stub) and stores the
// stub's length in it. Throws an input error for a missing or unsuitable file.
std::vector<uint8_t> LoadPatchedStub(const std::string& path);

// The machine of the stub at `path` (its PE file header's Machine), which is the machine
// the installer runs as; 0 when the file cannot be read or is no PE image.
uint16_t StubMachine(const std::string& path);

// The default stub, stub-x86.exe or stub-x64.exe: where `make install` puts it relative to
// the running twk (PREFIX/share/twksetup beside PREFIX/bin), or else in twk's own folder,
// as in the build tree. Throws an input error naming both places when neither has it.
std::string DefaultStubPath(const std::string& arch);

// The folders DefaultStubPath looks in, in its order, for the twk at `executable`.
std::vector<std::string> StubFolders(const std::string& executable);
