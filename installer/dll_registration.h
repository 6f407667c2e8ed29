// The self-registration phase of the extraction run.
#pragma once

#include "platform/handles.h"

// Sets the status text to "Registering DLLs...", then registers every path of the
// self-registration list from its front (the file extracted last first). After a failure
// it asks "Self-registering file %s failed! Continue installation anyway?" owned by
// `dialog`; No returns false at once (the later files are not tried). Always empties the
// list. True to continue.
bool RegisterExtractedDlls(platform::Window dialog);
