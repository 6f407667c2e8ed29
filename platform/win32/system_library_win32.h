// System DLLs that are not on Windows' list of known DLLs, loaded so that no file of the
// same name elsewhere can stand in for them.
#pragma once

#include <windows.h>

namespace platform {

// Loads the DLL `name` (a bare file name, such as "version.dll") from the system folder
// by its full path, once per process: Windows looks for a DLL named without a path in
// the program's own folder first, and an installer's folder is often one that anyone may
// have put files in. nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// Loads the common controls as the program's manifest binds them (version 6 side by side
// from Windows XP on), or from the system folder where nothing binds them (Windows 9x,
// 2000), and initialises them; once per process. False when they cannot be loaded: no
// wizard or progress dialog can then be shown.
bool LoadCommonControls();

// PropertySheetA of the loaded common controls; -1 when they are not loaded.
INT_PTR ShowPropertySheet(const void* header);

}  // namespace platform
