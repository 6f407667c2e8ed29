// The one error type of `twk build`: a one-line message and the exit code it maps to.
// Everything the build refuses ends up here, so the command prints exactly one line.
#pragma once

#include <stdexcept>
#include <string>

#include "twk/input_file.h"

class BuildError : public std::runtime_error {
 public:
  // `message` is complete without the "twk: " prefix, e.g. "demo.twk:12: ...".
  BuildError(int exitCode, const std::string& message)
      : std::runtime_error(message), exitCode_(exitCode) {}

  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

// Throws a BuildError with kExitScriptError and the message "SCRIPT:LINE: what".
[[noreturn]] void ThrowScriptError(const std::string& script, int line, const std::string& what);

// Throws a BuildError with kExitInputError: "PATH: what".
[[noreturn]] void ThrowInputError(const std::string& path, const std::string& what);

// For a file that the script names on `line` and that cannot be used: "SCRIPT:LINE: what
// problem", with kExitInputError when the file is missing, unreadable or no regular file, and
// kExitScriptError when it is larger than the package can hold (kTooLarge).
[[noreturn]] void ThrowUnusableInput(const std::string& script, int line, const std::string& what,
                                     InputStatus status, const std::string& problem);

// Throws a BuildError with kExitOutputError: "PATH: what".
[[noreturn]] void ThrowOutputError(const std::string& path, const std::string& what);

// The system's description of errno, for messages about files.
std::string ErrnoText();
