// `twk extract --reg FILE`: the package's registry entries as a .reg file, with the
// folders that its path macros stand for given on the command line or taken from a
// fresh machine of `twk simulate`.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "twk/common/macro_tokens.h"

// The --folder values given, by their index in kMacroTokens.
using FolderChoices = std::map<size_t, std::string>;

// Reads one --folder NAME=PATH (NAME a path macro, with or without its braces, letter
// case ignored) into *choices; false with *problem set for anything else.
bool ParseFolderChoice(const std::string& text, FolderChoices* choices, std::string* problem);

// What each macro stands for: the choice where there is one, otherwise {WinDir} C:\WINDOWS,
// {WinSysDir} {WinDir}\SYSTEM32, {WinDrive} the letter of {WinDir}, the shell folders
// under C:\WINDOWS as twk simulate has them, {OurProgramDir} the package's program folder
// under {WinDrive}:\Program Files (as it is when it names a drive), and {OurShortcutDir}
// the start-menu folder under {StartPrograms}: what the installer proposes on such a
// machine.
void ChooseFolders(const FolderChoices& choices, const std::string& programFolder,
                   const std::string& startMenuFolder, MacroValues* folders);

// Writes the registry list of the installer at `installer` to `regFile` (under a temporary
// name first); the exit code. The whole package is read and its directory checksum
// checked: a damaged installer gives kExitDamaged and no file.
int ExportRegistryFile(const std::string& installer, const std::string& regFile,
                       const FolderChoices& choices, std::ostream& out, std::ostream& err);
