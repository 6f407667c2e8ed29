// Self-registration of the COM servers among the installed files.
#pragma once

// Whether the file's version resource carries the self-registration marker: an entry
// "OLESelfRegister" in the string table of its first translation. Its content is not
// examined; a file without a version resource or translation has no marker.
bool HasSelfRegisterMarker(const char* path);

// Register true calls the library's "DllRegisterServer", false "DllUnregisterServer".
// True on success (the entry point returned 0) or when the file has no marker, in which
// case it is not loaded at all. False when the library cannot be loaded, the entry point
// is missing, or it returned anything but 0.
bool SelfRegisterFile(const char* path, bool registerIt);
