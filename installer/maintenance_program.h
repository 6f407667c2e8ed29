// Writing the maintenance programs UNINST.EXE and FINALIZE.EXE: a copy of the stub (its
// certificate-table entry emptied and its image checksum made right for the whole file),
// then the maintenance trailer (a zero volume length word, the mode byte, the title, the
// bottom text and the product key name as string records) and, for UNINST.EXE, the
// uninstall log that the extraction run appends.
#pragma once

#include "installer/uninstall_log_writer.h"

// The Add/Remove Programs key, under HKEY_LOCAL_MACHINE, is this + the product key name.
constexpr char kUninstallEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Writes the maintenance program at `path` (expanded, NUL-terminated, at most 255
// characters; not changed). isUninstaller true writes UNINST.EXE (mode 1) and leaves it
// open as the setup state's uninstall log, positioned after the trailer, and then writes
// the Add/Remove Programs entry; false writes FINALIZE.EXE (mode 2) and closes it.
// Returns true when the program is complete; FINALIZE.EXE then carries its checksum,
// UNINST.EXE gets it when the log is closed (CloseUninstallLog). On false no unfinished
// program is left behind, the uninstall log handle is cleared (every later record write
// fails without a word), no Add/Remove Programs entry is written, and the failure has
// been reported once per run through the success flag (by EnsureFolders, or by the
// message "Could not write the file %s." for the file itself).
bool WriteMaintenanceProgram(const char* path, bool isUninstaller);

// Writes the Add/Remove Programs entry for the product key name: "DisplayName" = the
// product key name, "UninstallString" = `uninstallerPath` quoted (a command line),
// "QuietUninstallString" = the same, then " /S". False when the key
// cannot be created or a value not written.
bool WriteUninstallEntry(const char* uninstallerPath);
