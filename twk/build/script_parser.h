// Reading a build script into a SetupScript. The script is INI-like: [Setup], [Files],
// [Shortcuts] and [Registry] sections, whole-line comments starting with ';' or '#'.
// docs/script.md describes the format for its users.
#pragma once

#include <stdint.h>

#include <string>

#include "twk/build/script_model.h"

// Parses the text of a script. `name` names the script in messages ("demo.twk:12: ...");
// `folder` is stored as the folder that source paths are relative to. Throws a script
// error (CommandError, kExitScriptError) at the first line that cannot be read. The result
// is syntactically sound; CheckScript (script_checks.h) applies the package's limits.
SetupScript ParseScript(const std::string& text, const std::string& name,
                        const std::string& folder);

// A script is a page of text; this bound only keeps a runaway file from filling memory.
constexpr uint64_t kMaxScriptSize = 64u << 20;

// Reads the script file at `path` and parses it, relative to the file's own folder.
// Throws an input error when the file is missing, unreadable, no regular file or larger
// than kMaxScriptSize.
SetupScript LoadScript(const std::string& path);
