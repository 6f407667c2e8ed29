// The messages of what `twk build` refuses, each a CommandError with its exit code.
#pragma once

#include <string>

#include "twk/common/command_error.h"
#include "twk/common/input_file.h"

// Throws a CommandError with kExitScriptError and the message "SCRIPT:LINE: what".
[[noreturn]] void ThrowScriptError(const std::string& script, int line, const std::string& what);

// The same for a line named by its place ("demo.twk:12", SetupScript::Place): "PLACE: what".
[[noreturn]] void ThrowScriptError(const std::string& place, const std::string& what);

// Throws a CommandError with kExitInputError: "PATH: what".
[[noreturn]] void ThrowInputError(const std::string& path, const std::string& what);

// For a file that the script names on the line at `place` and that cannot be used: "PLACE:
// what problem", with kExitInputError when the file is missing, unreadable or no regular
// file, and kExitScriptError when it is larger than the package can hold (kTooLarge).
[[noreturn]] void ThrowUnusableInput(const std::string& place, const std::string& what,
                                     InputStatus status, const std::string& problem);

// Throws a CommandError with kExitOutputError: "PATH: what".
[[noreturn]] void ThrowOutputError(const std::string& path, const std::string& what);

// The system's description of errno, for messages about files.
std::string ErrnoText();
