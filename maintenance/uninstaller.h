// The uninstaller: removes what an installation put down, as its uninstall log says.
#pragma once

#include "platform/handles.h"

// The handler of the uninstall start message: asks for confirmation, then reads the
// whole uninstall log from the package stream (which stands just after the maintenance
// trailer) and undoes files, shared-file counts, registry values and keys, its own file
// and the folders left empty, within the bounds of removal_bounds.h. A log that cannot be
// read to its end removes nothing. File records that climb out of their folder (".."),
// are not full paths, or lead through a link (engine/links.h) are passed over and
// counted in the setup state's logRecordsPassedOver; nothing behind them is touched.
// Ends by posting the close message to `background`. A quiet run asks and tells nothing
// (logged_files.h says how it answers), leaves the program folder's UNINST.EXE, from
// which the process that waits for it runs, to the next start of Windows, and ends with
// the exit code of its outcome (runtime/quiet_run.h).
void RunUninstall(platform::Instance instance, platform::Window background);
