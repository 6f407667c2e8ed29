// The files twk writes beside a name it is given (installers and their volumes, .reg
// files): written under a fresh temporary name and renamed over the name only when
// complete, so that whatever lies under either name, a file or a symbolic link planted
// there, is never written through or truncated, and a failed run leaves the old file.
#pragma once

#include <stdio.h>

#include <string>

// A file that did not exist before, beside `path` ("PATH.twk-partial-" and random
// letters), open for writing; its name in *temporaryPath. O_EXCL | O_NOFOLLOW: another
// name is tried while one is taken, and random names keep a leftover of a run that was
// killed from blocking the next. nullptr (errno set) when none can be made.
FILE* CreateTemporaryBeside(const std::string& path, std::string* temporaryPath);

// Writes `bytes` to `path` through such a temporary file. Throws std::runtime_error
// ("PATH: cannot be written: REASON") and leaves nothing behind when that fails.
void WriteFileReplacing(const std::string& path, const std::string& bytes);
