// Output files written under a fresh temporary name beside their place and renamed into it
// when complete, so that a failed run leaves what was there as it was.
#pragma once

#include <stdio.h>

#include <string>

#include "host/host_file.h"

// Creates a file that did not exist before, named `path` + ".twk-partial-" + eight random
// letters, and opens it for writing. Whatever already lies under a name (a file, or a
// symbolic link planted there) is never written through or truncated: another name is
// tried instead. Random names keep a leftover of a run that was killed from blocking the
// next one. nullptr, with *failure, when none can be made.
FILE* CreateTemporaryBeside(const std::string& path, std::string* temporaryPath,
                            host::Failure* failure);

// Writes `bytes` to `path` through such a temporary file, renamed over `path` when
// complete. Throws std::runtime_error ("PATH: cannot be written: REASON") and leaves
// nothing behind when that fails.
void WriteFileReplacing(const std::string& path, const std::string& bytes);
