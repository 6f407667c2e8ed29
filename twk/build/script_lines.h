// The lines of the list sections: one file, one shortcut, or one registry key or value.
#pragma once

#include <vector>

#include "twk/build/script_lexer.h"
#include "twk/build/script_model.h"

// Where a line stands, for its error messages.
struct ScriptLine {
  const std::string& script;
  int number;
};

// SOURCE TARGET [shared] [version=A.B.C.D]
FileItem ParseFileLine(const std::vector<ScriptField>& fields, const ScriptLine& at);

// LINK TARGET [arguments=TEXT] [startin=FOLDER]
ShortcutItem ParseShortcutLine(const std::vector<ScriptField>& fields, const ScriptLine& at);

// A key line (ROOT\SUBKEY, alone on its line) opens a new key in *keys; a value line
// (NAME = string TEXT | dword NUMBER | binary HEX... | remove) adds a value to the last key.
// A value line before any key line is refused.
void ParseRegistryLine(const std::vector<ScriptField>& fields, const ScriptLine& at,
                       std::vector<RegistryKeyItem>* keys);
