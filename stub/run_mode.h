// Hands a run over to the handler of its mode, on the background window.
#pragma once

#include "platform/handles.h"

// Called by the program entry once the package header is in the setup state. Returns
// the process exit code.
int RunMode(platform::Instance instance, const char* commandTail);
