// The program entry: every run of the stub, whether it installs, uninstalls or
// finalizes, starts here.
#pragma once

#include "platform/handles.h"

// Opens the package on the program's own file, reads the mode byte and the header into
// the setup state and hands over to the mode. `commandTail` is the command line without
// the program's name. Returns the process exit code: 1 when the package cannot be opened
// or read, 0 otherwise; a quiet run ("/S", runtime/quiet_run.h) ends with its own codes.
int ProgramEntry(platform::Instance instance, const char* commandTail);
