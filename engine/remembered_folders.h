// The folders an earlier installation of the same product chose, kept in the registry
// under HKEY_LOCAL_MACHINE\Software\TWKSetup\<product key name>, and the program-files
// prefix of a relative default folder.
#pragma once

// The remembered folders' key, under HKEY_LOCAL_MACHINE, is this + the product key name.
constexpr char kRememberedFoldersKeyPrefix[] = "Software\\TWKSetup\\";

// Replaces the default program folder (unless it is empty or fixed) and start-menu folder
// (unless empty) by the "Path" and "SPath" values remembered for the product key name.
// Nothing happens without a product key name, when the key is missing, or for a value
// that is missing or empty. A value longer than 255 characters is cut to 255. The
// program folder is taken absolute (as ApplyProgramFilesPrefix makes it) and in its
// canonical form (CanonicalFolder); a "Path" that is no folder to install into is passed
// over.
void RestoreRememberedFolders();

// Makes a relative program folder (no ':' as its second character, and no network path)
// absolute: the
// platform's "ProgramFilesDir", '\' (unless the prefix already ends in one) and the
// folder, in its canonical form when it has one. When "ProgramFilesDir" cannot be read
// the prefix is "X:\Program Files" on the drive X of the Windows folder ("C:" when that
// is unknown). The result is cut to 255 characters. An empty or absolute folder is left
// as it is.
void ApplyProgramFilesPrefix();

// The platform's "ProgramFilesDir", or the same "X:\Program Files" prefix that
// ApplyProgramFilesPrefix falls back on, in `out` (kPathBufferSize + 1 bytes).
void ReadProgramFilesFolder(char* out);

// The start-menu folder remembered for the product key name ("SPath") in `out`
// (kPathBufferSize + 1 bytes). False without a product key name, or when the value is
// missing or empty.
bool ReadRememberedStartMenuFolder(char* out);

// Remembers the chosen non-empty folders as "Path" and "SPath" under the product's key,
// creating it. Nothing is written without a product key name or when both folders are
// empty; failures are ignored.
void RememberFolders();
