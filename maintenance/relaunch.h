// The uninstaller's hand-over to a copy of itself in the temporary folder: the copy can
// delete the file it was made from, which a running program cannot. These are the pure
// decisions; relaunch_uninstaller.h carries them out.
#pragma once

#include <stdint.h>

// Appended to the copy's command line; the copy recognises itself by it.
constexpr char kRelaunchSwitch[] = "/step2";
// The same for the copy of a quiet run, which is quiet too.
constexpr char kQuietRelaunchSwitch[] = "/step2 /S";
// Owned by the first process until it ends; the copy waits for it.
constexpr char kRelaunchMutexName[] = "TWKSetupUninstall";
// The module path, the temporary folder and the Windows folder are each read into this.
constexpr uint32_t kRelaunchPathSize = 256;
// Room for a quoted copy path of kRelaunchPathSize and the switch.
constexpr uint32_t kRelaunchCommandSize = kRelaunchPathSize + 16;

// Whether the command-line tail is exactly "/step2" or "/step2 /S", letter case ignored:
// a tail with anything more, a trailing blank included, is not. nullptr is not.
bool IsRelaunchedTail(const char* tail);

// The copy's path: `tempFolder` without one trailing '\', then the file-name part of
// `modulePath` from its last '\' on (the '\' included). Written NUL-terminated into `out`
// of `size` bytes. False, with `out` empty, when the module path has no '\' or the
// result does not fit: a cut-off path would name another file.
bool ComposeCopyPath(const char* modulePath, const char* tempFolder, char* out, uint32_t size);

// The copy's command line: its path, then " /step2" (" /step2 /S" when `quiet`). A path
// holding a blank is quoted, so that the copy's tail is still exactly the switch. False,
// with `out` empty, when the line does not fit in `size` bytes.
bool ComposeRelaunchCommand(const char* copyPath, bool quiet, char* out, uint32_t size);
