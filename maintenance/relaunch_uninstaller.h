// Carrying out the uninstaller's relaunch on the platform.
#pragma once

#include <stdint.h>

// Copies the running program into the temporary folder (replacing a file already there),
// takes the relaunch mutex and starts the copy with "/step2", the Windows folder as its
// current folder. True when the copy was started: this process then ends at once, and
// its end frees the mutex that the copy waits for. In a quiet run the copy gets
// "/step2 /S" and this process waits for it, so that the deployment tool that started
// this one learns the outcome: *exitCode is then the copy's. False when any step failed;
// the caller then uninstalls in place without waiting.
bool RelaunchFromTempFolder(uint32_t* exitCode);

// The copy's side: waits until the process that started it has ended.
void WaitForRelaunchingProcess();
