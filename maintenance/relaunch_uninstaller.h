// Carrying out the uninstaller's relaunch on the platform.
#pragma once

// Copies the running program into the temporary folder (replacing a file already there),
// takes the relaunch mutex and starts the copy with "/step2", the Windows folder as its
// current folder. True when the copy was started: this process then ends at once, and
// its end frees the mutex that the copy waits for. False when any step failed; the
// caller then uninstalls in place without waiting.
bool RelaunchFromTempFolder();

// The copy's side: waits until the process that started it has ended.
void WaitForRelaunchingProcess();
