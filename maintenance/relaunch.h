// The uninstaller's hand-over to a copy of itself in the temporary folder: the copy can
// delete the file it was made from, which a running program cannot. These are the pure
// decisions; relaunch_uninstaller.h carries them out.
#pragma once

#include <stdint.h>

// The copy recognises itself by its command-line tail: "/step2", then "/S" in a quiet
// run (whose first process waits for the copy), or "/P=" and the number of the first
// process's handle that the copy inherits and waits on. A named object would do instead
// of the handle, but any program of the user could hold it and stall the copy.
constexpr char kRelaunchSwitch[] = "/step2";
constexpr char kQuietRelaunchSwitch[] = "/S";
constexpr char kParentSwitch[] = "/P=";
// The copy's folder in the temporary folder: the prefix, eight hexadecimal digits of a
// number nobody can guess, and the suffix.
constexpr char kRelaunchFolderPrefix[] = "TWK";
constexpr char kRelaunchFolderSuffix[] = ".tmp";
// The module path, the temporary folder and the Windows folder are each read into this.
constexpr uint32_t kRelaunchPathSize = 256;
// Room for a quoted copy path of kRelaunchPathSize and the switches.
constexpr uint32_t kRelaunchCommandSize = kRelaunchPathSize + 32;

// Whether the command-line tail marks the copy: exactly "/step2", "/step2 /S" or
// "/step2 /P=" and a handle's number (decimal, not 0, at most 32 bits), letter case
// ignored; a tail with anything more, a trailing blank included, is not. *parentHandle is
// the number, 0 for the other two. nullptr is not.
bool ReadRelaunchTail(const char* tail, uint32_t* parentHandle);

// The copy's folder: `tempFolder` without one trailing '\', then '\', the prefix,
// `number` as eight hexadecimal digits and the suffix. False, with `out` empty, when it
// does not fit in `size` bytes.
bool ComposeRelaunchFolder(const char* tempFolder, uint32_t number, char* out, uint32_t size);

// Whether `folder` is one that ComposeRelaunchFolder makes for `tempFolder` (letter case
// ignored): the copy that runs from it removes it with itself.
bool IsRelaunchFolder(const char* folder, const char* tempFolder);

// The copy's path: `folder` without one trailing '\', then the file-name part of
// `modulePath` from its last '\' on (the '\' included). Written NUL-terminated into `out`
// of `size` bytes. False, with `out` empty, when the module path has no '\' or the
// result does not fit: a cut-off path would name another file.
bool ComposeCopyPath(const char* modulePath, const char* folder, char* out, uint32_t size);

// The copy's command line: its path in quotes, then " /step2" and " /S" when `quiet`,
// else " /P=" and `parentHandle` when it is not 0. False, with `out` empty, when the line
// does not fit in `size` bytes.
bool ComposeRelaunchCommand(const char* copyPath, bool quiet, uint32_t parentHandle, char* out,
                            uint32_t size);
