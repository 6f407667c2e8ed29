// How far the uninstaller may reach: which log records it follows at all, and which
// emptied folders it may remove. The log names the files the installation put down, not
// the folders it made, so the folders are bounded by what the log does tell: the program
// folder (where UNINST.EXE was written) and the shortcut folder (the start-menu folder
// remembered for the product), never above them, and never a folder that Windows or the
// user owns.
#pragma once

#include <stddef.h>

#include "engine/path_macros.h"
#include "engine/protected_folders.h"

// True when `path` holds a component that climbs to a parent: "..", or any other run of
// two or more dots with only dots and blanks besides (Windows drops the trailing ones,
// and older systems read "..." as two levels up). Components end at '\' or '/'. Such a
// record may name any file of the machine, whatever folder it appears to lie in.
bool HasParentStep(const char* path);

// Full paths without a trailing '\'; "" where there is none.
struct RemovalBounds {
  char programFolder[kPathBufferSize];
  char shortcutFolder[kPathBufferSize];
  char protectedFolders[kMaxProtectedFolders][kPathBufferSize];
  size_t protectedCount;
};

// Fills `bounds`. The program folder is the folder of `uninstallerRecord`, the file
// section's last record, when that names UNINST.EXE by a full path below a drive's root
// and without "..". The shortcut folder is the programs shell folder + the remembered
// start-menu folder, when that lies below the programs folder; it must be read before the
// registry section removes it. The protected folders are asked of the platform, as the
// installer asks for them.
void FindRemovalBounds(const char* uninstallerRecord, RemovalBounds* bounds);

// Whether the uninstaller may remove `folder` once it is empty: it lies at or below the
// program folder or the shortcut folder, and is none of the protected folders (compared
// as full paths, letter case ignored).
bool MayRemoveFolder(const RemovalBounds& bounds, const char* folder);
