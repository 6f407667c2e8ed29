// What twk needs from the operating system about itself: where its program file lies (the
// stubs are found from there), its process id, whether its messages go to a terminal, and
// the syntax of paths.
#pragma once

#include <stddef.h>

#include <string>

namespace host {

// The full path of the running program; empty when the system does not say.
std::string ProgramPath();

unsigned long ProcessId();

// Whether standard error is a terminal that shows a progress line redrawn with "\r" and
// cleared with "ESC [K" (a Windows console is switched to that where it can be).
bool StandardErrorShowsProgress();

// Where the last component of `path` starts: after its last separator ("/", and on
// Windows "\" and the ":" of a drive letter), 0 when it has none.
size_t NameStart(const std::string& path);

// Whether `path` names its place without a starting folder: "/x"; on Windows "C:\x",
// "\x", "\\server\share\x" and "C:x" as well.
bool IsRooted(const std::string& path);

// The separator put between a folder and a name.
char Separator();

}  // namespace host
