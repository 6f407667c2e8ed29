// Reading a build script into a SetupScript. The script is INI-like: [Setup], [Files],
// [Shortcuts] and [Registry] sections, whole-line comments starting with ';' or '#'.
// docs/script.md describes the format for its users.
#pragma once

#include <string>

#include "twk/script_model.h"

// Parses the text of a script. `name` names the script in messages ("demo.twk:12: ...");
// `folder` is stored as the folder that source paths are relative to. Throws a script
// error (BuildError, kExitScriptError) at the first line that cannot be read. The result
// is syntactically sound; CheckScript (script_checks.h) applies the package's limits.
SetupScript ParseScript(const std::string& text, const std::string& name,
                        const std::string& folder);

// Reads the script file at `path` and parses it, relative to the file's own folder.
// Throws an input error when the file cannot be read.
SetupScript LoadScript(const std::string& path);
