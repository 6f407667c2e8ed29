// Opening a command through the user's desktop shell, which runs with the user's own
// token: an elevated installer hands it the programs it starts for the user.
#pragma once

namespace platform {

// Asks the desktop's shell to open `command` (default verb, no parameters, shown) with
// `folder` as the current folder (nullptr: none given). False when there is no desktop
// shell to ask or it refused; the caller then opens the command itself. OLE must be
// initialised on the calling thread.
bool OpenThroughDesktopShell(const char* command, const char* folder);

}  // namespace platform
