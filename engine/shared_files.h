// The reference counts of shared files, which the installation raises and the
// uninstaller lowers, kept in the registry under each file's full path.
#pragma once

// The registry key, under HKEY_LOCAL_MACHINE, whose REG_DWORD values count the
// installations of each shared file under its full path.
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Raises the reference count of the shared file `path` by one (a missing value counts
// as 0). False when the full path or the key cannot be had.
bool CountSharedFile(const char* path);
