// Carrying out the uninstaller's relaunch on the platform.
#pragma once

#include <stdint.h>

// Copies the running program into a new folder of the temporary folder that only this
// process's kind may write (administrators and SYSTEM when elevated, the user alone
// otherwise), with a name nobody can guess, and starts the copy once it is known to hold
// the program's own bytes (it stays open so that nobody can change it until it runs),
// the Windows folder as its current folder. True when the copy was started: this process
// then ends at once; the copy inherits a handle to it and waits for its end. In a quiet
// run the copy gets "/step2 /S" and this process waits for it instead, so that the
// deployment tool that started this one learns the outcome: *exitCode is then the copy's.
// False when any step failed, with nothing of the copy left; the caller then uninstalls
// in place without waiting.
bool RelaunchFromTempFolder(uint32_t* exitCode);

// The copy's side: waits until the process that started it, whose handle's number the
// command-line tail gave, has ended. Nothing to wait for when `parentHandle` is 0.
void WaitForRelaunchingProcess(uint32_t parentHandle);

// The running copy's folder goes with it at the next start of Windows (the NT family; on
// Windows 9x the empty folder stays). Nothing happens for a program that does not run
// from such a folder.
void LeaveRelaunchFolderToNextStart();
