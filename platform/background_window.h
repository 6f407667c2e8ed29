// The full-screen background window of every run, which owns the run's dialogs and whose
// end message ends the process.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

// Runs the mode's handler on the UI thread: creates the background window, shows it
// unless `shown` is false (a quiet run shows no window), posts the start message and
// runs the message loop, whose handling of the start message calls `handler`. Returns
// the process exit code (the run's end ends the process with the code it carries), or
// -1 when the window cannot be created: the caller knows which code a failed run has.
using StartHandler = void (*)(Instance instance, Window background);
int RunBackgroundWindow(Instance instance, int startMessage, StartHandler handler, bool shown);

// The texts the window paints: the title top left, the bottom text bottom right (a '\n'
// splits it into two lines). The window keeps the pointers, not copies: both must live
// until the process ends. Set them before RunBackgroundWindow, whose first paint shows them.
void SetBackgroundTexts(const char* title, const char* bottomText);

// Posts the run's end, which ends the process with `exitCode` once the handler has
// returned. A close from elsewhere is ignored: only the run knows its outcome.
void PostCloseMessage(Window background, uint32_t exitCode = 0);
// Repaints the window at once (after the wizard has gone).
void UpdateWindowNow(Window window);

}  // namespace platform
