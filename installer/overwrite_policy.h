// The overwrite policy: what happens to a file entry whose target already exists, and
// what the answers of the two overwrite dialogs mean. Pure functions, no files.
#pragma once

#include <stdint.h>

#include "installer/file_version.h"
#include "platform/file_io.h"

enum class OverwriteQuestion {
  kNone,       // write without asking
  kNewerFile,  // dialog 116: the file on disk is newer
  kSameFile,   // dialog 117: a shared file with the very same time
};

// What the file entry carries and what the disk holds under its target.
struct OverwriteFacts {
  bool yesToAllNewer;          // "Yes to All" was given in an earlier dialog 116
  bool shared;                 // the entry's shared flag
  FileVersion entryVersion;    // used as stored, also when all zero
  platform::FileTime entryTime;
  bool diskHasVersion;         // ReadFileVersion's verdict on the existing file
  FileVersion diskVersion;
  platform::FileTime diskTime; // last-write time of the existing file
};

// The first rule that applies: a newer version on disk, or (without a version on disk) a
// later disk time, asks dialog 116 unless "Yes to All" was given; a shared file whose
// disk time equals the entry's exactly asks dialog 117; anything else writes.
OverwriteQuestion DecideOverwrite(const OverwriteFacts& facts);

// CompareFileTime: -1, 0 or 1 as `a` is earlier than, equal to or later than `b`.
int CompareFileTimes(platform::FileTime a, platform::FileTime b);

enum class OverwriteChoice {
  kWrite,            // write this file
  kWriteAllNewer,    // write, and ask dialog 116 no more in this run
  kSkip,             // read past the file's blocks, touch nothing
  kCancelInstall,    // cancel the installation at once
};

// The meaning of a result of dialog 116 (1009 No, 1008 Yes, 1010 Yes to All, 2 Cancel,
// which Esc and the close box also give). Unknown results write.
OverwriteChoice NewerFileChoice(int result);
// The meaning of a result of dialog 117 (1009 Skip, 1008 Replace, 1010 Replace All,
// 2 Skip All, also Esc and the close box). Nothing is remembered: every answer concerns
// this file alone. Unknown results write.
OverwriteChoice SameFileChoice(int result);

// Button ids of the two dialogs.
constexpr int kOverwriteYes = 1008;
constexpr int kOverwriteNo = 1009;
constexpr int kOverwriteAll = 1010;
constexpr int kOverwriteCancel = 2;
