// The registry phase of the extraction run: the package's registry list applied to the
// registry and recorded in the uninstall log, then the installer's own two keys logged.
#pragma once

#include "platform/handles.h"

// Reads the registry list (records up to the empty one) from the package stream: each
// key line with a known root opens its key and a section of the uninstall log; value
// lines ("name=" type letter, data) are written to the open key and their names logged.
// Then, when the product key name is not empty, logs the remembered-folders key and the
// Add/Remove Programs key with their value names. Stops after the line during which the
// cancel flag became set. Sets the status text and hides the per-file bar and the Cancel
// button of `dialog` first. Always true.
bool CreateRegistryEntries(platform::Window dialog);
