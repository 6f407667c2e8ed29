// The extraction run: the progress dialog and the worker thread behind it, which carries
// out every phase of the installation in order.
#pragma once

#include "platform/handles.h"

// Shows the progress dialog modally over `parent` with RunExtraction as its worker and a
// Cancel button that sets the cancel flag (a quiet run: runs RunExtraction without a
// dialog). When the worker has ended the dialog, closes the uninstall log. True when the
// run was not cancelled.
bool ShowProgressDialog(platform::Instance instance, platform::Window parent);

// The worker: writes FINALIZE.EXE and UNINST.EXE (which stays open as the uninstall
// log), extracts every file, then, when the file list was read to its end without a
// cancellation, registers the extracted DLLs, creates the shortcuts, writes the registry
// entries and reads the run-after command; it always closes both sections of the log.
// After a failed file (cancel flag clear) only self-registration runs: the package
// stream stands inside that file's blocks, so no list after it can be read. Ends the
// dialog as its last act.
void RunExtraction(platform::Window dialog);
