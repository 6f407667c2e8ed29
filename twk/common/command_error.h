// The error a twk command ends with when it refuses its input or cannot write its output:
// a one-line message and the exit code it maps to. `twk build` and `twk simulate` throw
// it, so each prints exactly one line; the reading commands have their own ReadError,
// which also says what kind of damage was found.
#pragma once

#include <stdexcept>
#include <string>

class CommandError : public std::runtime_error {
 public:
  // `message` is complete without the "twk: " prefix, e.g. "demo.twk:12: ...".
  CommandError(int exitCode, const std::string& message)
      : std::runtime_error(message), exitCode_(exitCode) {}

  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};
