// The lines of the list sections: one file, one shortcut, or one registry key or value.
#pragma once

#include <vector>

#include "twk/script/script_lexer.h"
#include "twk/script/script_model.h"

// Where a line stands: the file and its line there, for error messages, and the line's
// rank (see script_model.h), which the items keep.
struct ScriptLine {
  const std::string& script;
  int number;
  int rank;
};

// SOURCE TARGET [shared] [version=A.B.C.D] [register=yes|no]
FileItem ParseFileLine(const std::vector<ScriptField>& fields, const ScriptLine& at);

// LINK TARGET [arguments=TEXT] [startin=FOLDER]
ShortcutItem ParseShortcutLine(const std::vector<ScriptField>& fields, const ScriptLine& at);

// A key line is ROOT\SUBKEY alone on its line; every other registry line is a value line.
bool IsRegistryKeyLine(const std::vector<ScriptField>& fields);

RegistryKeyItem ParseRegistryKeyLine(const std::vector<ScriptField>& fields,
                                     const ScriptLine& at);

// NAME = string TEXT | dword NUMBER | binary HEX... | remove
RegistryValueItem ParseRegistryValueLine(const std::vector<ScriptField>& fields,
                                         const ScriptLine& at);
