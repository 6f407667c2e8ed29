// The full-screen background window of every run, which owns the run's dialogs and whose
// close message ends the process.
#pragma once

#include "platform/handles.h"

namespace platform {

// Runs the mode's handler on the UI thread: creates and shows the background window,
// posts the start message and runs the message loop, whose handling of the start message
// calls `handler`. Returns the process exit code (the close message ends the process
// with 0; 1 when the window cannot be created).
using StartHandler = void (*)(Instance instance, Window background);
int RunBackgroundWindow(Instance instance, int startMessage, StartHandler handler);

// The texts the window paints: the title top left, the bottom text bottom right (a '\n'
// splits it into two lines). The window keeps the pointers, not copies: both must live
// until the process ends. Set them before RunBackgroundWindow, whose first paint shows them.
void SetBackgroundTexts(const char* title, const char* bottomText);

// Posts the close message, which ends the process once the handler has returned.
void PostCloseMessage(Window background);
// Repaints the window at once (after the wizard has gone).
void UpdateWindowNow(Window window);

}  // namespace platform
