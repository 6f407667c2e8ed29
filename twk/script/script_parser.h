// Reading a build script into a SetupScript. The script is INI-like: [Setup], [Files],
// [Shortcuts] and [Registry] sections, whole-line comments starting with ';' or '#', and
// the directives !define NAME VALUE and !include "FILE". docs/script.md describes the
// format for its users.
#pragma once

#include <stdint.h>

#include <string>

#include "twk/script/script_defines.h"
#include "twk/script/script_diagnostics.h"
#include "twk/script/script_model.h"

// Parses the text of a script. `name` names the script in messages ("demo.twk:12: ...");
// `folder` is stored as the folder that source paths are relative to, and the first
// !include starts from it. Every line that cannot be read is kept in *diagnostics (its
// first error), and reading goes on with the next line, so that one run names them all;
// the result holds the lines that could be read. CheckScript (script_checks.h) applies
// the package's limits. `defines` holds the names given on the command line and gets
// those of the script's !define lines.
SetupScript ParseScript(const std::string& text, const std::string& name,
                        const std::string& folder, ScriptDefines* defines,
                        ScriptDiagnostics* diagnostics);

// A script is a page of text; this bound only keeps a runaway file from filling memory.
// It holds for a script and all that it includes together.
constexpr uint64_t kMaxScriptSize = 64u << 20;

// Reads the script file at `path` and parses it, relative to the file's own folder.
// Throws an input error when the file is missing, unreadable, no regular file or larger
// than kMaxScriptSize.
SetupScript LoadScript(const std::string& path, ScriptDefines* defines,
                       ScriptDiagnostics* diagnostics);
