// The finalizer: after a restart, puts the waiting ".NewTemp" files of its folder in
// place and runs the run-after command the installation left in the registry.
#pragma once

#include "platform/handles.h"

// The handler of the finalize start message. Ends by posting the close message to
// `background`.
void RunFinalize(platform::Instance instance, platform::Window background);
