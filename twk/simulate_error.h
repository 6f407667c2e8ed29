// The one error type of `twk simulate` before the run starts: a one-line message and the
// exit code it maps to.
#pragma once

#include <stdexcept>
#include <string>

class SimulateError : public std::runtime_error {
 public:
  // `message` is complete without the "twk: " prefix, e.g. "answers.txt:3: ...".
  SimulateError(int exitCode, const std::string& message)
      : std::runtime_error(message), exitCode_(exitCode) {}

  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};
