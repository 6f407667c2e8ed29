// What the POSIX side's files share: errno as a Failure, stat as FileFacts, FILETIME as a
// timespec, and creating a new file relative to a folder's descriptor.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <string>

#include "host/host_file.h"

namespace host {

// Fills *failure from errno; returns false, for `return ... || FailWithErrno(failure)`.
bool FailWithErrno(Failure* failure);

FileFacts FactsOfStat(const struct stat& info);

// Times before 1970 included; a FILETIME has no time before 1601.
struct timespec TimespecOfFileTime(FileTime time);

// O_CREAT | O_EXCL | O_NOFOLLOW: nothing that stands under `name` is ever followed or
// truncated.
bool CreateNewFileAt(int folder, const std::string& name, File* file, Failure* failure);

}  // namespace host
