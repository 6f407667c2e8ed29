// The completion step: the extraction run, the one outcome message, the finalizer and
// the run-after command, and the restart.
#pragma once

#include "platform/handles.h"

// Runs the extraction over `background` and reports its outcome: cancelled, failed
// (a corrupted file, or a file that could not be written) or complete. After a complete
// run either arranges the finalizer for the next start of Windows (run-once value, and
// the run-after command stored for it) or deletes the finalizer and opens the run-after
// command at once; then tells about, or on Windows 9x offers, the restart that waiting
// files need. Ends by posting the close message to `background`. A quiet run shows
// nothing, starts no run-after command and no restart, and ends with the exit code of
// its outcome (runtime/quiet_run.h).
void CompleteInstallation(platform::Instance instance, platform::Window background);

// The finalizer at the next start: sets the run-once value "TWKSetup_Finalize" to
// `finalizer` in quotes (a command line) and, when `runAfter` is not empty, the "RunAfter" value that the finalizer
// opens. Nothing is written when the package has no program folder (no finalizer was
// written that could read and delete the values).
void ArrangeFinalizerAtBoot(const char* finalizer, const char* runAfter);
