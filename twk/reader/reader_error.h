// The one error type of the reading side of twk: what went wrong, in a one-line message
// that names the file (and offset), and which exit code it stands for.
#pragma once

#include <stdexcept>
#include <string>

#include "twk/common/exit_codes.h"

enum class ReadFailure {
  kNotInstaller,   // no marker, a package offset of 0, or the wrong kind of program
  kUnreadable,     // the named input file cannot be opened or read
  kMissingVolume,  // the package goes on past a volume whose successor does not exist
  kTruncated,      // the package ends before its last structure does
  kDamaged,        // a block fails a checksum or its expansion, or a structure is invalid
};

class ReadError : public std::runtime_error {
 public:
  ReadError(ReadFailure failure, const std::string& message)
      : std::runtime_error(message), failure_(failure) {}

  ReadFailure failure() const { return failure_; }

  // An input that is missing or is no installer is the caller's mistake (3); everything
  // found wrong inside an installer or its volumes means it is damaged (1).
  int exitCode() const {
    return failure_ == ReadFailure::kNotInstaller || failure_ == ReadFailure::kUnreadable
               ? kExitInputError
               : kExitDamaged;
  }

 private:
  ReadFailure failure_;
};
