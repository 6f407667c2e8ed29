// Self-registration of the COM servers among the installed files.
#pragma once

#include <stdint.h>

// Whether the file's version resource carries the self-registration marker: an entry
// "OLESelfRegister" in the string table of its first translation. Its content is not
// examined; a file without a version resource or translation has no marker.
// Files that do not begin as Windows' version reader expects (checked first, by reading
// their first bytes) are not mapped at all.
bool HasSelfRegisterMarker(const char* path);

// Whether a file beginning with these bytes can carry a version resource at all: a
// program ("MZ") or an LZ-compressed file ("SZDD"), which Windows' version reader expands
// first. Nothing else is read by it.
bool MayCarryVersionResource(const uint8_t* head, uint32_t length);

// Register true calls the library's "DllRegisterServer", false "DllUnregisterServer".
// True on success (the entry point returned 0) or when the file has no marker, in which
// case it is not loaded at all. False when the library cannot be loaded, the entry point
// is missing, or it returned anything but 0.
bool SelfRegisterFile(const char* path, bool registerIt);
