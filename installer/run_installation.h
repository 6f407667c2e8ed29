// The install handler: the wizard, the extraction run and the completion step.
#pragma once

#include "platform/handles.h"

// Runs the whole installation over the background window and ends by posting the close
// message to it.
void RunInstallation(platform::Instance instance, platform::Window background);
